// Participant tree benchmark: 1000 participants in 50 nested departments go into the
// participant window through AddUser (three trees and their views, offscreen), then 1000
// speak-state changes and a search. The baseline is the same rows in a plain QTreeWidget
// (departments and names as items, a speak change as one item's data, the search as
// findItems). Prints time and heap bytes per participant of both and their ratios; asserts
// nothing.
//
//   QT_QPA_PLATFORM=offscreen yav_user_tree_bench

#include <QApplication>
#include <QElapsedTimer>
#include <QTreeWidget>

#include <malloc.h>

#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "dialogs/users/CDlgUserList.h"

namespace {

constexpr int kUsers = 1000;
constexpr int kDepartments = 50;
constexpr int kSpeakChanges = 1000;

struct Result {
    double addMs = 0;
    double speakMs = 0;
    double searchMs = 0;
    double heapBytes = 0;
};

std::size_t HeapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// Department d's parent: the first ten are top level, each later one hangs under an earlier.
int ParentOf(int d) {
    return d < 10 ? -1 : (d - 10) / 4;
}

QString NameOf(int i) {
    static const char* const kFirst[] = {"Ann", "Bob", "Cy", "Dana", "Eli", "Fay", "Gus", "Hal"};
    return QStringLiteral("%1 %2").arg(QString::fromLatin1(kFirst[i % 8])).arg(i);
}

void ProcessEvents() {
    QApplication::processEvents();
}

// Milliseconds since the timer started, the work's posted events (painting, layout) included.
double SettledMs(const QElapsedTimer& timer) {
    ProcessEvents();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

Result RunUserList() {
    Result result;
    const std::size_t before = HeapInUse();
    auto list = std::make_unique<CDlgUserList>(nullptr);
    list->Create(CDlgUserList::IDD, nullptr);
    list->resize(320, 800);
    list->show();
    list->SetLocalUser(8);
    QElapsedTimer timer;
    timer.start();
    for (int d = 0; d < kDepartments; ++d) {
        yav::users::TreeDept dept;
        dept.ownKey = static_cast<std::uint32_t>(d + 1 + 10);
        dept.name = QStringLiteral("Department %1").arg(d);
        if (ParentOf(d) < 0) {
            list->AddRootDepartment(&dept);
        } else {
            list->AddDepartment(&dept, static_cast<std::uint32_t>(ParentOf(d) + 1 + 10));
        }
    }
    for (int i = 0; i < kUsers; ++i) {
        ST_USER_ITEM_DEPT record;
        record.userId = static_cast<std::uint16_t>(8 * (i + 1));
        const std::u16string name = NameOf(i).toStdU16String();
        std::copy(name.begin(), name.end(), record.name);
        record.departmentId = static_cast<std::uint32_t>(i % kDepartments + 1 + 10);
        record.audioDevice = 1;
        list->AddUser(&record);
    }
    result.addMs = SettledMs(timer);
    result.heapBytes = static_cast<double>(HeapInUse() - before);

    std::mt19937 random(7);
    timer.restart();
    for (int i = 0; i < kSpeakChanges; ++i) {
        const auto userId = static_cast<std::uint16_t>(8 * (1 + random() % kUsers));
        list->OnUserAudioState(userId, i % 2 == 0 ? 2 : 0);
    }
    result.speakMs = SettledMs(timer);

    timer.restart();
    list->Model().RunSearch(QStringLiteral("an"));
    result.searchMs = SettledMs(timer);
    return result;
}

Result RunTreeWidget() {
    Result result;
    const std::size_t before = HeapInUse();
    auto tree = std::make_unique<QTreeWidget>();
    tree->resize(320, 800);
    tree->show();
    QElapsedTimer timer;
    timer.start();
    std::vector<QTreeWidgetItem*> departments;
    for (int d = 0; d < kDepartments; ++d) {
        const QStringList caption{QStringLiteral("Department %1(0)").arg(d)};
        departments.push_back(ParentOf(d) < 0
                                  ? new QTreeWidgetItem(tree.get(), caption)
                                  : new QTreeWidgetItem(departments[ParentOf(d)], caption));
        departments.back()->setExpanded(true);
    }
    std::vector<QTreeWidgetItem*> users;
    for (int i = 0; i < kUsers; ++i) {
        users.push_back(new QTreeWidgetItem(departments[i % kDepartments], QStringList{NameOf(i)}));
    }
    result.addMs = SettledMs(timer);
    result.heapBytes = static_cast<double>(HeapInUse() - before);

    std::mt19937 random(7);
    timer.restart();
    for (int i = 0; i < kSpeakChanges; ++i) {
        users[random() % kUsers]->setData(0, Qt::UserRole, i % 2 == 0 ? 2 : 0);
    }
    result.speakMs = SettledMs(timer);

    timer.restart();
    const auto found =
        tree->findItems(QStringLiteral("an"), Qt::MatchContains | Qt::MatchRecursive);
    result.searchMs = SettledMs(timer);
    std::printf("baseline search found %lld rows\n", static_cast<long long>(found.size()));
    return result;
}

double Ratio(double a, double b) {
    return b > 0 ? a / b : 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    {
        // Qt's first-use allocations (fonts, styles) are charged to neither side.
        QTreeWidget warmUp;
        new QTreeWidgetItem(&warmUp, QStringList{QStringLiteral("warm up")});
        warmUp.show();
        ProcessEvents();
    }
    const Result base = RunTreeWidget();
    const Result ours = RunUserList();
    std::printf("%-22s %12s %12s %8s\n", "", "participants", "QTreeWidget", "ratio");
    std::printf("%-22s %12.3f %12.3f %8.2f\n", "add, ms", ours.addMs, base.addMs,
                Ratio(ours.addMs, base.addMs));
    std::printf("%-22s %12.3f %12.3f %8.2f\n", "add, us/participant", ours.addMs * 1000 / kUsers,
                base.addMs * 1000 / kUsers, Ratio(ours.addMs, base.addMs));
    std::printf("%-22s %12.3f %12.3f %8.2f\n", "1000 speak changes, ms", ours.speakMs, base.speakMs,
                Ratio(ours.speakMs, base.speakMs));
    std::printf("%-22s %12.3f %12.3f %8.2f\n", "search, ms", ours.searchMs, base.searchMs,
                Ratio(ours.searchMs, base.searchMs));
    std::printf("%-22s %12.0f %12.0f %8.2f\n", "heap, bytes/participant", ours.heapBytes / kUsers,
                base.heapBytes / kUsers, Ratio(ours.heapBytes, base.heapBytes));
    return 0;
}
