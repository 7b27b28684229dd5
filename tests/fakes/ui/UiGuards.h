#pragma once
// Settings of one UI test that are put back when it ends: the display scale (with the UI font
// made for it), the language index; and an answerer for the program's message boxes.

#include <QFont>
#include <QStringList>

#include <vector>

namespace ui_test {

// Points the configuration manager at a data folder and at the program's language and skin
// modules next to the test executable, and loads them.
void LoadProgramModules(const QString& dataDir);

class ScaleGuard {
public:
    explicit ScaleGuard(double scale);
    ~ScaleGuard();
    ScaleGuard(const ScaleGuard&) = delete;
    ScaleGuard& operator=(const ScaleGuard&) = delete;

private:
    double saved_;
    QFont savedFont_;
};

// Language index for one test (0 Simplified Chinese, 1 English, 2 Traditional Chinese).
class LanguageGuard {
public:
    explicit LanguageGuard(int index);
    ~LanguageGuard();
    LanguageGuard(const LanguageGuard&) = delete;
    LanguageGuard& operator=(const LanguageGuard&) = delete;

private:
    int saved_;
};

// Answers every message box shown while it lives with the given result and records texts.
class BoxAnswerer {
public:
    explicit BoxAnswerer(int result = 1);
    ~BoxAnswerer();
    BoxAnswerer(const BoxAnswerer&) = delete;
    BoxAnswerer& operator=(const BoxAnswerer&) = delete;

    void SetResult(int result) { result_ = result; }
    const QStringList& Titles() const { return titles_; }
    const QStringList& Messages() const { return messages_; }
    const std::vector<int>& Types() const { return types_; }

private:
    int result_;
    int token_ = 0;
    QStringList titles_;
    QStringList messages_;
    std::vector<int> types_;
};

}  // namespace ui_test
