#include "gui/shell/Jobs.h"

#include "gui/common/MessageBox.h"
#include "gui/common/SaveWhole.h"
#include "gui/common/ScreenHelpers.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

namespace Jobs {
namespace {

QString ShownName(const QString& path) {
    return QFileInfo(path).fileName();
}

void Refuse(QWidget* parent, const QString& path, const std::string& problem) {
    ShowMessage(parent, ToQString(JobProblemMessage(ShownName(path).toStdString(), problem)));
}

} // namespace

// The screens keep the barometric pressure at its initial text; a job that sets
// another one would be calculated at a pressure the screen does not show.
std::optional<std::string> PressureProblem(const Job& job) {
    const std::string pressure =
        job.kind == JobKind::Zone ? JobToZoneTexts(job).pressure : JobToPoolTexts(job).pressure;
    const std::string screens =
        job.kind == JobKind::Zone ? InitialZoneTexts().pressure : InitialPoolTexts().pressure;
    if (pressure == screens) {
        return std::nullopt;
    }
    return "sets the barometric pressure to \"" + pressure + "\"; the screens calculate at " +
           screens + " kPa only";
}

QString ChooseInDialog(QWidget* parent, bool forSaving, const QString& suggested) {
    QFileDialog dialog(parent,
                       forSaving ? QStringLiteral("Save Job As") : QStringLiteral("Open Job"));
    dialog.setNameFilter(QStringLiteral("Varnel DH jobs (*%1)").arg(ToQString(kJobFileSuffix)));
    dialog.setDefaultSuffix(ToQString(kJobFileSuffix).mid(1));
    dialog.setAcceptMode(forSaving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(forSaving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!suggested.isEmpty()) {
        dialog.selectFile(suggested);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst();
}

std::optional<Job> Open(QWidget* parent, const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Refuse(parent, path, "cannot be opened (" + file.errorString().toStdString() + ")");
        return std::nullopt;
    }
    // One byte past the limit tells a file that is too large without reading it whole.
    const QByteArray bytes = file.read(qint64(kJobMaxBytes) + 1);
    if (file.error() != QFileDevice::NoError) {
        Refuse(parent, path, "cannot be read (" + file.errorString().toStdString() + ")");
        return std::nullopt;
    }
    if (std::size_t(bytes.size()) > kJobMaxBytes) {
        Refuse(parent, path,
               "is too large for a job file (more than " + std::to_string(kJobMaxBytes) +
                   " bytes)");
        return std::nullopt;
    }
    JobRead read = ReadJob(std::string_view(bytes.constData(), std::size_t(bytes.size())));
    if (!read.job) {
        Refuse(parent, path, read.problem);
        return std::nullopt;
    }
    if (const auto problem = PressureProblem(*read.job)) {
        Refuse(parent, path, *problem);
        return std::nullopt;
    }
    return std::move(read.job);
}

bool Save(QWidget* parent, const QString& path, const Job& job) {
    return SaveWhole(parent, path, WriteJob(job), QStringLiteral("job"));
}

} // namespace Jobs
