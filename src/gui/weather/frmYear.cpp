#include "gui/weather/frmYear.h"

#include "ui_frmYear.h"

#include "gui/common/WholeFiles.h"
#include "gui/common/WindowPlacement.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>

#include <sstream>

namespace {

void Fill(QTableWidget* grid, const CalcReport::Table& table, bool captionsAsRows) {
    grid->clear();
    grid->setRowCount(int(table.rows.size()));
    const int columns = int(table.columns.size()) - (captionsAsRows ? 1 : 0);
    grid->setColumnCount(columns);
    QStringList headings;
    for (std::size_t c = captionsAsRows ? 1 : 0; c < table.columns.size(); ++c)
        headings << QString::fromStdString(table.columns[c]);
    grid->setHorizontalHeaderLabels(headings);
    QStringList captions;
    for (int r = 0; r < int(table.rows.size()); ++r) {
        const auto& row = table.rows[std::size_t(r)];
        std::size_t c = 0;
        if (captionsAsRows && !row.empty())
            captions << QString::fromStdString(row[c++]);
        for (int col = 0; c < row.size() && col < columns; ++c, ++col) {
            auto* item = new QTableWidgetItem(QString::fromStdString(row[c]));
            item->setToolTip(item->text()); // the station line is longer than its column
            grid->setItem(r, col, item);
        }
    }
    if (captionsAsRows)
        grid->setVerticalHeaderLabels(captions);
    grid->verticalHeader()->setVisible(captionsAsRows);
    grid->horizontalHeader()->setVisible(!headings.join(QString()).isEmpty());
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    grid->resizeColumnsToContents();
    grid->horizontalHeader()->setStretchLastSection(true);
}

} // namespace

frmYear::frmYear(QWidget* parent)
    : QWidget(parent, Qt::Window), m_ui(std::make_unique<Ui::frmYear>()) {
    m_ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_QuitOnClose, false);
    m_ui->grdYear->setColumnStretch(0, 3);
    m_ui->grdYear->setColumnStretch(1, 2);
    m_ui->grdYear->setRowStretch(1, 1);
    connect(m_ui->cmdExportHours, &QPushButton::clicked, this, &frmYear::cmdExportHours_Click);
    connect(m_ui->cmdClose, &QPushButton::clicked, this, &QWidget::close);
}

frmYear::~frmYear() = default;

void frmYear::SetYear(std::shared_ptr<const ZoneYear> year) {
    m_year = std::move(year);
    // The engine lays its year out as the summary, the shortfall, then the months.
    const std::vector<CalcReport::Table>& tables = m_year->tables;
    if (tables.size() >= 3) {
        Fill(m_ui->tblSummary, tables[0], true);
        Fill(m_ui->tblShortfall, tables[1], false);
        Fill(m_ui->tblMonths, tables[2], false);
    }
    m_ui->curYear->SetData({m_year->curve, m_year->lines});
}

bool frmYear::ExportHours(const QString& path) {
    std::ostringstream out;
    Weather::WriteHoursCsv(out, m_year->weather->file, *m_year->year.table, m_year->year.zone);
    const std::string text = out.str();
    return SaveWhole(this, path, text, QStringLiteral("hours"));
}

void frmYear::cmdExportHours_Click() {
    if (!m_year)
        return;
    QFileDialog dialog(this, QStringLiteral("Export Hours as CSV"));
    dialog.setObjectName(QStringLiteral("dlgExportHours"));
    dialog.setNameFilter(QStringLiteral("CSV files (*.csv)"));
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.selectFile(QFileInfo(m_year->weather->path).completeBaseName() +
                      QStringLiteral("-hours.csv"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    ExportHours(dialog.selectedFiles().constFirst());
}

void frmYear::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

frmYear* ShowYear(QWidget* screen, std::shared_ptr<const ZoneYear> year) {
    auto* window = screen->findChild<frmYear*>(QString(), Qt::FindDirectChildrenOnly);
    if (!window) {
        window = new frmYear(screen);
        window->SetYear(std::move(year));
        PlaceOnScreen(window);
    } else {
        window->SetYear(std::move(year));
    }
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}
