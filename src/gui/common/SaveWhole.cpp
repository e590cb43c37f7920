#include "gui/common/SaveWhole.h"

#include "gui/common/MessageBox.h"

#include <QFileInfo>
#include <QSaveFile>

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
