#pragma once

#include "GuiTestSupport.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QStringList>
#include <QTimer>
#include <QtTest>

// What the report tests share: answering the save dialog, and reading back the
// text of the PDF it saved.

// Answers the next file dialog with a path, as a user typing it would.
class FileDialogAnswerer : public QObject {
public:
    explicit FileDialogAnswerer(QString path) : m_path(std::move(path)) {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog || !dialog->isVisible())
                return;
            // Typed into the name field, as a user would: selectFile() leaves the
            // field alone once it has the focus, and the dialog then saved to its
            // own suggestion. Accepted only once the dialog holds the path; a
            // dialog that never does is cancelled rather than left to hang.
            if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
                if (name->text() != m_path)
                    name->setText(m_path);
            } else {
                dialog->selectFile(m_path);
            }
            if (dialog->selectedFiles().value(0) != m_path) {
                if (++m_tries >= 200)
                    static_cast<QDialog*>(dialog)->reject();
                return;
            }
            ++answered;
            static_cast<QDialog*>(dialog)->accept();
        });
        m_timer.start(10);
    }
    int answered = 0;

private:
    QString m_path;
    QTimer m_timer;
    int m_tries = 0;
};

// What a tool prints; empty when it fails.
inline QString Run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        qWarning("%s %s: exit %d, %s", qPrintable(program), qPrintable(arguments.join(u' ')),
                 process.exitCode(), process.readAllStandardError().constData());
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The PDF's text, page by page.
inline QStringList PdfPages(const QString& pdf) {
    return Run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")})
        .split(QLatin1Char('\f'));
}

// The text's lines, blanks tidied.
inline QStringList Lines(const QString& text) {
    QStringList lines;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        if (!line.simplified().isEmpty())
            lines << line.simplified();
    }
    return lines;
}

// Save as PDF... of a report window answered with `path`: the messages it showed,
// each as "TITLE: TEXT", or "no file dialog" when none was offered.
inline QStringList SavePdfFrom(QWidget* report, const QString& path) {
    FileDialogAnswerer dialog(path);
    ModalBoxAnswerer boxes;
    QTest::mouseClick(report->findChild<QPushButton*>(QStringLiteral("cmdSavePdf")),
                      Qt::LeftButton);
    QStringList messages;
    for (const auto& seen : boxes.seen())
        messages << seen.title + QStringLiteral(": ") + seen.text;
    return dialog.answered == 1 ? messages : QStringList{QStringLiteral("no file dialog")};
}
