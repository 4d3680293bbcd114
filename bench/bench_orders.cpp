// Registers orders of growing size through the real main window and totals
// them on the real summary window, printing the time per line of each step.
// Registration should cost the same per line at any order size, and the
// total grow linearly with the number of lines.
//
//   bench_orders [lines ...]     (default: 10 1000 10000 100000)

#include "app/frmmorvesta.h"
#include "summary/frmresumo.h"

#include "runtime/messagebox.h"
#include "runtime/optionbutton.h"
#include "runtime/program.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QTimer>

#include <cstdio>

namespace {

struct Timing
{
    qint64 registerNs;
    qint64 totalNs;
    QString total;
};

Timing measure(int lines)
{
    frmMorvesta window;
    window.show();
    window.ui().optTipoTerco->click();

    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < lines; ++i)
        window.cmdPedido_Click();
    const qint64 registerNs = clock.nsecsElapsed();

    QString total;
    QTimer::singleShot(0, &window, [&] {
        if (frmResumo *resumo = window.loadedResumo()) {
            total = resumo->ui().lblVrTot->text();
            resumo->cmdSair_Click();
        }
    });
    clock.restart();
    window.cmdTotal_Click();
    const qint64 totalNs = clock.nsecsElapsed();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    return {registerNs, totalNs, total};
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    runtime::setUpProgram();
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    runtime::setMessageHook([](const QString &) {});

    QList<int> sizes;
    for (const QString &argument : QCoreApplication::arguments().mid(1))
        sizes << argument.toInt();
    if (sizes.isEmpty())
        sizes = {10, 1000, 10000, 100000};

    // Showing the summary window costs the same at any size; it is measured
    // on an empty order and taken out of the per-line figure.
    measure(100); // warm-up: fonts, styles, first window
    const qint64 showNs = measure(0).totalNs;
    std::printf("showing an empty summary: %.2f ms\n", showNs / 1e6);
    std::printf("%8s  %16s  %16s  %12s  %s\n", "lines", "register ns/line", "total ns/line",
                "total ms", "total shown");
    for (const int lines : std::as_const(sizes)) {
        if (lines <= 0)
            continue;
        const Timing timing = measure(lines);
        std::printf("%8d  %16.0f  %16.0f  %12.2f  %s\n", lines, double(timing.registerNs) / lines,
                    double(qMax<qint64>(0, timing.totalNs - showNs)) / lines, timing.totalNs / 1e6,
                    qPrintable(timing.total));
    }
    return 0;
}
