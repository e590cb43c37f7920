#include "gui/common/WholeFiles.h"

#include "core/jobs/JobFile.h"
#include "gui/common/MessageBox.h"
#include "gui/common/ScreenHelpers.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QSaveFile>

QString ChooseInFileDialog(QWidget* parent, bool forSaving, const QString& suggested,
                           const FileKind& kind) {
    QFileDialog dialog(parent, forSaving ? kind.saveTitle : kind.openTitle);
    dialog.setNameFilter(QStringLiteral("%1 (*%2)").arg(kind.filterName, ToQString(kind.suffix)));
    dialog.setDefaultSuffix(ToQString(kind.suffix).mid(1));
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

void RefuseFile(QWidget* parent, const QString& path, const std::string& problem) {
    ShowMessage(parent,
                ToQString(JobProblemMessage(QFileInfo(path).fileName().toStdString(), problem)));
}

std::optional<QByteArray> ReadWhole(QWidget* parent, const QString& path, std::size_t maxBytes,
                                    std::string_view named) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        RefuseFile(parent, path, "cannot be opened (" + file.errorString().toStdString() + ")");
        return std::nullopt;
    }
    // One byte past the limit tells a file that is too large without reading it whole.
    QByteArray bytes = file.read(qint64(maxBytes) + 1);
    if (file.error() != QFileDevice::NoError) {
        RefuseFile(parent, path, "cannot be read (" + file.errorString().toStdString() + ")");
        return std::nullopt;
    }
    if (std::size_t(bytes.size()) > maxBytes) {
        RefuseFile(parent, path,
                   "is too large for a " + std::string(named) + " (more than " +
                       std::to_string(maxBytes) + " bytes)");
        return std::nullopt;
    }
    return bytes;
}

bool SaveWhole(QWidget* parent, const QString& path, std::string_view text, const QString& what) {
    QSaveFile file(path);
    // Unbuffered, and written until done: a buffered flush takes a short write
    // (the disk full part-way) for success, and commit() would then put a cut-off
    // file in place of the earlier one. Once the rest fails, commit() refuses.
    bool written = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    for (std::size_t done = 0; written && done < text.size();) {
        const qint64 n = file.write(text.data() + done, qint64(text.size() - done));
        written = n > 0;
        done += written ? std::size_t(n) : 0;
    }
    if (!(written && file.commit())) {
        ShowMessage(parent, QStringLiteral("The %1 could not be saved as \"%2\": %3.")
                                .arg(what, QFileInfo(path).fileName(), file.errorString()));
        return false;
    }
    return true;
}
