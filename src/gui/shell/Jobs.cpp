#include "gui/shell/Jobs.h"

#include "gui/common/ScreenHelpers.h"
#include "gui/common/WholeFiles.h"

namespace Jobs {

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
    return ChooseInFileDialog(parent, forSaving, suggested,
                              {QStringLiteral("Open Job"), QStringLiteral("Save Job As"),
                               QStringLiteral("Varnel DH jobs"), kJobFileSuffix});
}

std::optional<Job> Open(QWidget* parent, const QString& path) {
    const std::optional<QByteArray> bytes = ReadWhole(parent, path, kJobMaxBytes, "job file");
    if (!bytes) {
        return std::nullopt;
    }
    JobRead read = ReadJob(std::string_view(bytes->constData(), std::size_t(bytes->size())));
    if (!read.job) {
        RefuseFile(parent, path, read.problem);
        return std::nullopt;
    }
    if (const auto problem = PressureProblem(*read.job)) {
        RefuseFile(parent, path, *problem);
        return std::nullopt;
    }
    return std::move(read.job);
}

bool Save(QWidget* parent, const QString& path, const Job& job) {
    return SaveWhole(parent, path, WriteJob(job), QStringLiteral("job"));
}

} // namespace Jobs
