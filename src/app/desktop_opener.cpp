#include "app/desktop_opener.h"

#include <unistd.h>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <cerrno>
#include <memory>

#include "cardfile/command_runner.h"

namespace tabellan {

DesktopOpener::DesktopOpener(FailureSink onFailure, QObject* parent)
    : QObject(parent), onFailure_(std::move(onFailure)) {
    setObjectName(QStringLiteral("DesktopOpener"));
}

// Openers still running when the window goes are ended; what they already started stays.
DesktopOpener::~DesktopOpener() = default;

void DesktopOpener::Start(const std::vector<std::string>& args, const std::string& file) {
    if (args.empty()) {
        return;
    }
    auto* process = new QProcess(this);
    // The error output goes to a file, not a pipe: an application the opener starts inherits
    // it and must not die of a closed pipe once this program has ended.
    auto errors = std::make_shared<QTemporaryFile>();
    const QString opener = QFile::decodeName(QByteArray::fromStdString(args.front()));
    if (errors->open()) {
        process->setStandardErrorFile(errors->fileName());
    } else {
        process->setStandardErrorFile(QProcess::nullDevice());
    }
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardInputFile(QProcess::nullDevice());
    // Its own session: a Ctrl+C in the terminal this program runs in does not reach it.
    process->setChildProcessModifier([] { ::setsid(); });
    QStringList arguments;
    for (std::size_t i = 1; i < args.size(); ++i) {
        arguments << QFile::decodeName(QByteArray::fromStdString(args[i]));
    }

    ++running_;
    auto done = [this, process] {
        --running_;
        process->deleteLater();
    };
    connect(process, &QProcess::finished, this,
            [this, process, errors, file, done](int exitCode, QProcess::ExitStatus status) {
                done();
                if (status == QProcess::NormalExit && exitCode == 0) {
                    return;
                }
                errors->seek(0);
                const std::string output = errors->read(64 * 1024).toStdString();
                const std::string name = process->program().toStdString();
                onFailure_(file, status == QProcess::NormalExit
                                     ? OpenerFailureReason(name, exitCode, output)
                                     : name + " ended abnormally");
            });
    connect(process, &QProcess::errorOccurred, this,
            [this, process, file, done](QProcess::ProcessError error) {
                if (error != QProcess::FailedToStart) {
                    return;  // the end is reported by finished
                }
                done();
                const QString program = process->program();
                const bool missing = program.contains(QLatin1Char('/'))
                                         ? !QFile::exists(program)
                                         : QStandardPaths::findExecutable(program).isEmpty();
                const std::string name = program.toStdString();
                onFailure_(file, missing ? OpenerNotStartedReason(name, ENOENT)
                                         : name + " could not be started: " +
                                               process->errorString().toStdString());
            });
    process->start(opener, arguments);
}

}  // namespace tabellan
