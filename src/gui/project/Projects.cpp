#include "gui/project/Projects.h"

#include "gui/common/MessageBox.h"
#include "gui/common/SaveWhole.h"
#include "gui/common/ScreenHelpers.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

namespace Projects {
namespace {

void Refuse(QWidget* parent, const QString& path, const std::string& problem) {
    ShowMessage(parent,
                ToQString(JobProblemMessage(QFileInfo(path).fileName().toStdString(), problem)));
}

} // namespace

QString ChooseInDialog(QWidget* parent, bool forSaving, const QString& suggested) {
    QFileDialog dialog(parent, forSaving ? QStringLiteral("Save Project As")
                                         : QStringLiteral("Open Project"));
    dialog.setNameFilter(
        QStringLiteral("Varnel DH projects (*%1)").arg(ToQString(kProjectFileSuffix)));
    dialog.setDefaultSuffix(ToQString(kProjectFileSuffix).mid(1));
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

std::optional<Project> Open(QWidget* parent, const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Refuse(parent, path, "cannot be opened (" + file.errorString().toStdString() + ")");
        return std::nullopt;
    }
    // One byte past the limit tells a file that is too large without reading it whole.
    const QByteArray bytes = file.read(qint64(kProjectMaxBytes) + 1);
    if (file.error() != QFileDevice::NoError) {
        Refuse(parent, path, "cannot be read (" + file.errorString().toStdString() + ")");
        return std::nullopt;
    }
    if (std::size_t(bytes.size()) > kProjectMaxBytes) {
        Refuse(parent, path,
               "is too large for a project file (more than " + std::to_string(kProjectMaxBytes) +
                   " bytes)");
        return std::nullopt;
    }
    ProjectRead read = ReadProject(std::string_view(bytes.constData(), std::size_t(bytes.size())));
    if (!read.project) {
        Refuse(parent, path, read.problem);
        return std::nullopt;
    }
    return std::move(read.project);
}

bool Save(QWidget* parent, const QString& path, const Project& project) {
    return SaveWhole(parent, path, WriteProject(project), QStringLiteral("project"));
}

bool IsProjectPath(const QString& path) {
    return path.endsWith(ToQString(kProjectFileSuffix), Qt::CaseInsensitive);
}

} // namespace Projects
