// The control map that tests driving the program from outside read: each visible top-level
// and each visible framework window or control with an id below it, with its classes, screen
// rectangle, enabled state and text; hidden ones and plain unnamed widgets are left out.

#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>

#include "platform/window/ControlMap.h"
#include "platform/window/Window.h"
#include "platform/window/testing/WindowTesting.h"

namespace control_map_test {

class Room : public yav::Window {};
class Panel : public yav::Window {};

}  // namespace control_map_test

namespace {

using control_map_test::Panel;
using control_map_test::Room;

// The map's lines by "parent class/id/class" (the fields after the window handle and the
// active flag: top-level class first).
std::map<QString, QStringList> Lines(const QString& text) {
    std::map<QString, QStringList> lines;
    for (const QString& line : text.split('\n', Qt::SkipEmptyParts)) {
        const QStringList fields = line.split('\t');
        EXPECT_EQ(fields.size(), 12) << line.toStdString();
        if (fields.size() == 12) {
            lines[fields[3] + "/" + fields[5] + "/" + fields[4]] = fields;
        }
    }
    return lines;
}

class ControlMap : public ::testing::Test {
protected:
    void SetUp() override {
        room.setGeometry(100, 50, 400, 300);
        panel = new Panel;
        panel->setParent(&room);
        panel->setGeometry(200, 30, 150, 200);
        button = new QPushButton(QStringLiteral("four\twindows"), panel);
        button->setGeometry(10, 20, 80, 30);
        yav::SetControlId(button, 1319);
        hidden = new QPushButton(QStringLiteral("hidden"), panel);
        yav::SetControlId(hidden, 9);
        hidden->hide();
        plain = new QWidget(&room);  // neither an id nor a framework window
        plain->setGeometry(0, 0, 10, 10);
        room.show();
        ASSERT_TRUE(yav::testing::WaitUntil([&] { return room.isVisible(); }));
    }

    Room room;
    Panel* panel = nullptr;
    QPushButton* button = nullptr;
    QPushButton* hidden = nullptr;
    QWidget* plain = nullptr;
};

TEST_F(ControlMap, ListsVisibleControlsWithTheirClassesScreenRectanglesAndTexts) {
    const auto lines = Lines(yav::ControlMapText());
    const QString top = QStringLiteral("control_map_test::Room");
    const QString panelClass = QStringLiteral("control_map_test::Panel");

    ASSERT_TRUE(lines.count("-/0/" + top)) << yav::ControlMapText().toStdString();
    const QStringList& roomLine = lines.at("-/0/" + top);
    EXPECT_EQ(roomLine[2], top);
    EXPECT_EQ(roomLine.mid(6, 4), (QStringList{"100", "50", "400", "300"}));

    // A framework window without an id is listed, by its class, under its parent's class.
    ASSERT_TRUE(lines.count(top + "/0/" + panelClass));
    EXPECT_EQ(lines.at(top + "/0/" + panelClass).mid(6, 4),
              (QStringList{"300", "80", "150", "200"}));

    // A control with an id: screen rectangle, enabled, its text with the tab made a space.
    ASSERT_TRUE(lines.count(panelClass + "/1319/QPushButton"));
    const QStringList& line = lines.at(panelClass + "/1319/QPushButton");
    EXPECT_EQ(line[2], top);
    EXPECT_EQ(line.mid(6, 4), (QStringList{"310", "100", "80", "30"}));
    EXPECT_EQ(line[10], "1");
    EXPECT_EQ(line[11], "four windows");

    EXPECT_FALSE(lines.count(panelClass + "/9/QPushButton")) << "a hidden control is listed";
    EXPECT_EQ(lines.size(), 3u) << yav::ControlMapText().toStdString();

    button->setEnabled(false);
    EXPECT_EQ(Lines(yav::ControlMapText()).at(panelClass + "/1319/QPushButton")[10], "0");
}

TEST_F(ControlMap, AChildWindowOfItsOwnIsATopLevelOfTheMap) {
    panel->setWindowFlags(Qt::Tool);
    panel->move(600, 400);
    panel->show();
    ASSERT_TRUE(yav::testing::WaitUntil([&] { return panel->isVisible(); }));
    const auto lines = Lines(yav::ControlMapText());
    const QString panelClass = QStringLiteral("control_map_test::Panel");
    ASSERT_TRUE(lines.count("-/0/" + panelClass)) << yav::ControlMapText().toStdString();
    // Its controls belong to it, not to the room.
    ASSERT_TRUE(lines.count(panelClass + "/1319/QPushButton"));
    EXPECT_EQ(lines.at(panelClass + "/1319/QPushButton")[2], panelClass);
    // Where the window's client area stands on the screen (the platform may add a frame).
    const QPoint client = panel->geometry().topLeft();
    EXPECT_GE(client.x(), 600);
    EXPECT_EQ(lines.at(panelClass + "/1319/QPushButton").mid(6, 2),
              (QStringList{QString::number(client.x() + 10), QString::number(client.y() + 20)}));
}

TEST_F(ControlMap, TheEnvironmentVariableKeepsTheFileUpToDate) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.path() + "/map";
    qputenv("YAV_TEST_CONTROL_MAP", path.toLocal8Bit());
    yav::StartControlMapFromEnvironment();
    qunsetenv("YAV_TEST_CONTROL_MAP");
    const auto fileHas = [&](const QString& what) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) && QString::fromUtf8(file.readAll()).contains(what);
    };
    EXPECT_TRUE(yav::testing::WaitUntil([&] { return fileHas("\t1319\t"); }));
    hidden->show();
    EXPECT_TRUE(yav::testing::WaitUntil([&] { return fileHas("\t9\t"); }))
        << "a control shown later is not added";
    button->hide();
    EXPECT_TRUE(yav::testing::WaitUntil([&] { return !fileHas("\t1319\t"); }))
        << "a hidden control stays in the file";
}

}  // namespace
