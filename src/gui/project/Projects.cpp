#include "gui/project/Projects.h"

#include "gui/common/ScreenHelpers.h"
#include "gui/common/WholeFiles.h"

namespace Projects {

QString ChooseInDialog(QWidget* parent, bool forSaving, const QString& suggested) {
    return ChooseInFileDialog(parent, forSaving, suggested,
                              {QStringLiteral("Open Project"), QStringLiteral("Save Project As"),
                               QStringLiteral("Varnel DH projects"), kProjectFileSuffix});
}

std::optional<Project> Open(QWidget* parent, const QString& path) {
    const std::optional<QByteArray> bytes =
        ReadWhole(parent, path, kProjectMaxBytes, "project file");
    if (!bytes) {
        return std::nullopt;
    }
    ProjectRead read =
        ReadProject(std::string_view(bytes->constData(), std::size_t(bytes->size())));
    if (!read.project) {
        RefuseFile(parent, path, read.problem);
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
