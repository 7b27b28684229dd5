// Chat pane benchmark: 1000 messages of mixed length appended to the bubble pane and then
// scrolled through from the top to the end, against the same texts appended to a plain
// QTextEdit and scrolled the same way. Reports time per message, scroll time and resident
// memory growth of each, and their ratios, in one run (offscreen).

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTextEdit>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "client/dialogs/chat/CDlgChatShow.h"

namespace {

int g_messageCount = 1000;

long ResidentKb() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return resident * 4;
}

QString MessageText(int i) {
    static const QString pieces[] = {
        QStringLiteral("ok"),
        QStringLiteral("Can everyone see my screen now?"),
        QString::fromUtf16(u"好的，我们十分钟后继续讨论第三个议题。"),
        QStringLiteral("A longer remark that does not fit on one line of the bubble and has to "
                       "wrap onto several lines below the sender's name, as long remarks do in "
                       "any meeting that runs over its time."),
    };
    return pieces[i % 4] + QStringLiteral(" #%1").arg(i);
}

struct Result {
    double appendUsPerMessage = 0;
    double scrollMs = 0;
    long memoryKb = 0;
};

void Settle() {
    QCoreApplication::processEvents();
}

// Steps the bar from the top to the end, repainting each step.
double ScrollThrough(QScrollBar* bar, QWidget* viewport) {
    QElapsedTimer timer;
    timer.start();
    bar->setValue(0);
    while (bar->value() < bar->maximum()) {
        bar->setValue(bar->value() + bar->singleStep() * 3);
        viewport->repaint();
    }
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

Result RunPane() {
    const long before = ResidentKb();
    auto* frame = new CDlgChatFrame;
    frame->resize(296, 520);
    frame->show();
    Settle();
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < g_messageCount; ++i) {
        if (i % 10 == 0) {
            frame->GetView()->AddChatMsg(QStringLiteral(" 2026-12-10 08:00:00 "));
        }
        frame->GetView()->AddUserMsg(MessageText(i), QStringLiteral("Participant %1").arg(i % 7),
                                     i % 3 == 0 ? 1 : 0, static_cast<std::uint32_t>(i % 7),
                                     i % 5 == 0 ? 1 : 0);
        Settle();
    }
    Result result;
    result.appendUsPerMessage = static_cast<double>(timer.nsecsElapsed()) / 1e3 / g_messageCount;
    result.scrollMs = ScrollThrough(frame->verticalScrollBar(), frame->viewport());
    result.memoryKb = ResidentKb() - before;
    return result;
}

Result RunPlain() {
    const long before = ResidentKb();
    auto* edit = new QTextEdit;
    edit->setReadOnly(true);
    edit->resize(296, 520);
    edit->show();
    Settle();
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < g_messageCount; ++i) {
        if (i % 10 == 0) {
            edit->append(QStringLiteral(" 2026-12-10 08:00:00 "));
        }
        edit->append(QStringLiteral("Participant %1").arg(i % 7));
        edit->append(MessageText(i));
        edit->verticalScrollBar()->setValue(edit->verticalScrollBar()->maximum());
        Settle();
    }
    Result result;
    result.appendUsPerMessage = static_cast<double>(timer.nsecsElapsed()) / 1e3 / g_messageCount;
    result.scrollMs = ScrollThrough(edit->verticalScrollBar(), edit->viewport());
    result.memoryKb = ResidentKb() - before;
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // --messages N: more than the pane keeps shows the cost of dropping the oldest lines.
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::string(argv[i]) == "--messages") {
            g_messageCount = std::max(1, std::atoi(argv[i + 1]));
        }
    }
    // The plain edit first: the pane runs second, on a heap the first run has already grown.
    const Result plain = RunPlain();
    const Result pane = RunPane();
    std::printf("%d messages of mixed length (plus a notice every 10)\n", g_messageCount);
    std::printf("%-22s %16s %14s %14s\n", "", "append us/msg", "scroll ms", "memory KiB");
    std::printf("%-22s %16.1f %14.1f %14ld\n", "bubble pane", pane.appendUsPerMessage,
                pane.scrollMs, pane.memoryKb);
    std::printf("%-22s %16.1f %14.1f %14ld\n", "plain QTextEdit", plain.appendUsPerMessage,
                plain.scrollMs, plain.memoryKb);
    std::printf("ratio pane/plain: append %.3g, scroll %.3g, memory %.3g\n",
                pane.appendUsPerMessage / plain.appendUsPerMessage, pane.scrollMs / plain.scrollMs,
                plain.memoryKb > 0 ? static_cast<double>(pane.memoryKb) / plain.memoryKb : 0.0);
    return 0;
}
