#include "program.h"

#include "accessibility.h"
#include "fonts.h"
#include "keyrules.h"
#include "messagebox.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QProcess>
#include <QStandardPaths>
#include <QWidget>

#ifdef Q_OS_WIN
#include <qt_windows.h>

#include <sddl.h>
#endif

namespace runtime {

namespace {

std::function<void()> &endHook()
{
    static std::function<void()> hook;
    return hook;
}

#ifdef QT_NO_DEBUG
// Qt's debug and info messages (on Windows its platform layer's include the
// keys typed, card digits among them) stay off in a release, whatever a
// qtlogging.ini or QT_LOGGING_RULES asks for; warnings and errors still go
// out as the rules say.
QLoggingCategory::CategoryFilter g_loggingRules = nullptr;

void warningsOnly(QLoggingCategory *category)
{
    if (g_loggingRules)
        g_loggingRules(category);
    category->setEnabled(QtDebugMsg, false);
    category->setEnabled(QtInfoMsg, false);
}
#endif

#ifdef Q_OS_WIN
// While the program runs it holds a named mutex, which its installer and
// uninstaller look for before they touch its files (Windows keeps a running
// program's file locked). In the Global\ namespace, so that they see it
// whichever user's session runs the program, and open to everyone for
// waiting only, so that a second user's program opens the same mutex; in
// this session's Local\ namespace when Windows refuses Global\. The handle
// stays open until the process ends, as the lock on its file does.
void holdRunningMutex()
{
    SECURITY_ATTRIBUTES attributes{sizeof attributes, nullptr, FALSE};
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(
            L"D:(A;;0x00100000;;;WD)", SDDL_REVISION_1, &attributes.lpSecurityDescriptor, nullptr))
        attributes.lpSecurityDescriptor = nullptr;
    for (const wchar_t *name :
         {L"Global\\" MORVESTA_RUNNING_MUTEX, L"Local\\" MORVESTA_RUNNING_MUTEX}) {
        if (CreateMutexExW(&attributes, name, 0, SYNCHRONIZE))
            break;
    }
    LocalFree(attributes.lpSecurityDescriptor);
}
#endif

} // namespace

void setUpQt()
{
    static bool done = false;
    if (done)
        return;
    done = true;
#ifdef QT_NO_DEBUG
    g_loggingRules = QLoggingCategory::installFilter(warningsOnly);
#endif
#ifdef QT_STATIC
    // Every plug-in the program uses is linked in: Qt is to load none from
    // a folder, where a planted one would run inside the program.
    QCoreApplication::setLibraryPaths({});
#endif
}

char *programName(int argc, char *argv[])
{
    static char name[] = "morvesta";
    return argc > 0 && argv[0] ? argv[0] : name;
}

void setUpProgram()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    setUpQt();
#ifdef Q_OS_WIN
    holdRunningMutex();
#endif
    QApplication::setApplicationName(kProgramTitle);
    QApplication::setFont(designFont(QStringLiteral("MS Sans Serif"), 8.25));
    installHeldKeyRule();
    installAccessibility();
}

bool launch(const QString &program, const QStringList &arguments)
{
    if (program.isEmpty())
        return false;
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setStandardInputFile(QProcess::nullDevice());
#ifdef Q_OS_WIN
    // A normal window with the focus, whatever this program was started with.
    process.setCreateProcessArgumentsModifier([](QProcess::CreateProcessArguments *create) {
        create->startupInfo->dwFlags |= STARTF_USESHOWWINDOW;
        create->startupInfo->wShowWindow = SW_SHOWNORMAL;
    });
#endif
    return process.startDetached();
}

QString desktopCalculator()
{
#ifdef Q_OS_WIN
    wchar_t folder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return {};
    const QString calc =
        QDir(QString::fromWCharArray(folder, int(length))).filePath(QStringLiteral("calc.exe"));
    return QFileInfo(calc).isFile() ? QDir::toNativeSeparators(calc) : QString();
#else
    static const char *const candidates[] = {"gnome-calculator", "kcalc",         "galculator",
                                             "mate-calc",        "qalculate-gtk", "xcalc"};
    // Only absolute folders of the PATH: a relative entry ("." or an empty
    // one) would name whatever folder the program happens to run in.
    QStringList folders;
    const QStringList entries = qEnvironmentVariable("PATH").split(QDir::listSeparator());
    for (const QString &entry : entries) {
        if (QDir::isAbsolutePath(entry))
            folders << entry;
    }
    if (folders.isEmpty())
        return {};
    for (const char *name : candidates) {
        const QString path = QStandardPaths::findExecutable(QString::fromLatin1(name), folders);
        if (!path.isEmpty())
            return path;
    }
    return {};
#endif
}

void endProgram()
{
    if (const auto &hook = endHook()) {
        hook();
        return;
    }
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows)
        window->hide();
    QCoreApplication::exit(0);
}

void setEndHook(std::function<void()> hook)
{
    endHook() = std::move(hook);
}

} // namespace runtime
