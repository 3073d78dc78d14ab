// The benchmarks of the windows and their summary. They run on the offscreen platform
// unless QT_QPA_PLATFORM names another, so they need no display.

#include <QApplication>
#include <QByteArray>
#include <QString>

#include "bench_summary.h"

namespace {

using namespace tessaline::bench;

QtMessageHandler defaultHandler = nullptr;

// The offscreen platform warns at every window shown that it keeps no size hints; that
// says nothing about the figures and would break up the table.
void DropSizeHintWarnings(QtMsgType type, const QMessageLogContext& context,
                          const QString& message) {
    if (message.contains(QLatin1String("does not support propagateSizeHints")))
        return;
    if (defaultHandler)
        defaultHandler(type, context, message);
}

void PrintSummary(const CollectingReporter& r) {
    const Growth growth[] = {
        {"list_100k_vs_10k", "BM_ListShowAll/100000", "BM_ListShowAll/10000"},
        {"sort_100k_vs_10k", "BM_ListColumnSort/100000", "BM_ListColumnSort/10000"},
    };
    PrintGrowth(r, growth);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    // Every argument is the benchmarks'; Qt gets only the program name.
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    defaultHandler = qInstallMessageHandler(DropSizeHintWarnings);
    return RunBenchmarks(argc, argv, PrintSummary);
}
