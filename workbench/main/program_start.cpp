#include "workbench/main/program_start.h"

#include <cstdio>

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QThread>

#include "platform/com/activation.h"
#include "workbench/core/batch/batch_seams.h"
#include "workbench/core/session/app_info.h"
#include "workbench/core/session/workbench_core.h"
#include "workbench/dialogs/splash_form.h"
#include "workbench/main/main_form.h"
#include "workbench/resources/resources_init.h"

namespace sondar {

namespace {

constexpr char kUsage[] =
    "Usage: Sondar                                       start the workbench\n"
    "       Sondar WSDL SERVICE OPERATION INPUTFILE [LOG] run one operation unattended\n"
    "\n"
    "A batch run analyses WSDL, restores the input values saved in INPUTFILE, invokes\n"
    "OPERATION of SERVICE and appends a report to LOG (default: the configured batch log).\n"
    "Exit status: 0 when the run was successful, 1 otherwise.\n";

QStringList parametersOf(int argc, char** argv) {
    QStringList parameters;
    for (int i = 1; i < argc; ++i)
        parameters.append(QString::fromLocal8Bit(argv[i]));
    return parameters;
}

QString programFolder() {
    QString folder = QCoreApplication::applicationDirPath();
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

void describeApplication() {
    QCoreApplication::setApplicationName(QStringLiteral("Sondar"));
    QCoreApplication::setOrganizationName(QStringLiteral("Norvale"));
    QCoreApplication::setApplicationVersion(appinfo::productVersion());
}

// A batch run: no widget, no display needed.
int runWithoutWindows(int argc, char** argv, const QStringList& parameters,
                      const QString& launchDirectory) {
    QCoreApplication app(argc, argv);
    describeApplication();
    HeadlessMainView view;
    BatchMessages messages;
    BatchStatus status;
    NoCredentials credentials;
    SystemClock clock;
    WorkbenchCore core(WorkbenchSeams{view, messages, status, credentials, clock});
    messages.attach(core.state().batch);
    core.formCreate(LaunchInfo{parameters, programFolder(), launchDirectory});
    return core.exitCode();
}

int runWithWindows(int argc, char** argv, const QStringList& parameters,
                   const QString& launchDirectory) {
    QApplication app(argc, argv);
    describeApplication();
    initResources();
    QApplication::setApplicationDisplayName(appinfo::applicationTitle());
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/images/sondar.png")));

    std::unique_ptr<TSplashForm> splash;
    if (parameters.size() < 4) {
        splash = std::make_unique<TSplashForm>();
        splash->showAndPaint();
    }
    TMainForm mainForm;
    const StartOutcome outcome =
        mainForm.FormCreate(LaunchInfo{parameters, programFolder(), launchDirectory});
    if (outcome != StartOutcome::Interactive)
        return mainForm.core().exitCode();

    if (splash) {
        while (!splash->canClose()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
            QThread::msleep(10);
        }
        splash->close();
        splash.reset();
    }
    mainForm.show();
    return QApplication::exec();
}

}  // namespace

bool displayAvailable() {
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

int runProgram(int argc, char** argv) {
    const QStringList parameters = parametersOf(argc, argv);
    if (parameters.size() == 1 &&
        (parameters[0] == QLatin1String("--help") || parameters[0] == QLatin1String("-h"))) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (parameters.size() == 1 && parameters[0] == QLatin1String("--version")) {
        std::printf("Sondar %s\n", appinfo::productVersion().toUtf8().constData());
        return 0;
    }
    const QString launchDirectory = QDir::currentPath();
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    const bool batchRun = parameters.size() == 4 || parameters.size() == 5;
    const bool wrongCount = !parameters.isEmpty() && !batchRun;
    int status = 0;
    if (batchRun || (wrongCount && !displayAvailable()))
        status = runWithoutWindows(argc, argv, parameters, launchDirectory);
    else
        status = runWithWindows(argc, argv, parameters, launchDirectory);
    CoUninitialize();
    return status;
}

}  // namespace sondar
