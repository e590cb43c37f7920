#include "gui/project/frmProject.h"

#include "ui_frmProject.h"

#include "core/common/NumberText.h"
#include "core/jobs/ProjectWeather.h"
#include "gui/common/Accessibility.h"
#include "gui/common/MessageBox.h"
#include "gui/common/ScreenHelpers.h"
#include "gui/project/Projects.h"
#include "gui/weather/WeatherFiles.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QInputDialog>
#include <QMessageBox>
#include <QStyledItemDelegate>
#include <QTimer>

#include <algorithm>
#include <iterator>

namespace {

enum Column { Name, Quantity, Calculation, Gain, Size, PerRoom, InAll, Message };

QString FileWeatherCaption(const DesignWeather& weather) {
    return frmProject::tr("Weather file %1: %2")
        .arg(ToQString(weather.weatherFile), ToQString(weather.point));
}

constexpr std::array<SizeChoice, 4> kSizeChoices{SizeChoice::Hx100, SizeChoice::Hx160,
                                                 SizeChoice::Hx200, SizeChoice::Fewest};

// The size cell keeps the choice in its data; it is chosen from a list in place.
constexpr int kSizeRole = Qt::UserRole;

class SizeDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex&) const override {
        auto* list = new QComboBox(parent);
        list->setObjectName(QStringLiteral("cmbSize"));
        for (SizeChoice size : kSizeChoices) {
            list->addItem(ToQString(SizeChoiceCaption(size)), int(size));
        }
        return list;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        auto* list = static_cast<QComboBox*>(editor);
        list->setCurrentIndex(std::max(0, list->findData(index.data(kSizeRole))));
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override {
        model->setData(index, static_cast<QComboBox*>(editor)->currentData(), kSizeRole);
    }
};

QTableWidgetItem* Cell(QTableWidget* table, int row, int column) {
    QTableWidgetItem* item = table->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        const bool editable = column == Name || column == Quantity || column == Size;
        item->setFlags(editable ? item->flags() | Qt::ItemIsEditable
                                : item->flags() & ~Qt::ItemIsEditable);
        if (column != Name && column != Calculation && column != Message && column != Size) {
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        }
        table->setItem(row, column, item);
    }
    return item;
}

Room NewRoom(JobKind kind, int number) {
    Room room;
    room.job = kind == JobKind::Zone ? ZoneJob(InitialZoneTexts()) : PoolJob(InitialPoolTexts());
    room.name = (kind == JobKind::Zone ? "Zone room " : "Pool room ") + std::to_string(number);
    return room;
}

frmProject::RoomId NextRoomId() {
    static frmProject::RoomId last = 0;
    return ++last;
}

} // namespace

frmProject::frmProject(FileChooser chooseFile, QWidget* parent)
    : QMainWindow(parent, Qt::Window), m_ui(std::make_unique<Ui::frmProject>()),
      m_chooseFile(std::move(chooseFile)) {
    InstallAccessibility();
    m_ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_QuitOnClose, false);
    NameFieldsByCaptions(this);
    m_ui->tblRooms->setAccessibleName(tr("Rooms"));
    m_ui->tblRooms->setItemDelegateForColumn(Size, new SizeDelegate(m_ui->tblRooms));
    m_ui->tblRooms->verticalHeader()->setVisible(false);
    m_ui->tblRooms->horizontalHeader()->setStretchLastSection(true);
    m_ui->cmbWeather->addItem(tr("(none)"));
    for (const DesignLocation& location : kDesignLocations) {
        m_ui->cmbWeather->addItem(ToQString(location.name));
    }
    PressButtonsOnEnter(this);

    for (QLineEdit* field : {m_ui->txtTitle, m_ui->txtClient, m_ui->txtSite, m_ui->txtReference}) {
        connect(field, &QLineEdit::textEdited, this, &frmProject::Details_Edited);
    }
    connect(m_ui->txtNotes, &QPlainTextEdit::textChanged, this, &frmProject::Details_Edited);
    connect(m_ui->cmbWeather, &QComboBox::currentIndexChanged, this,
            &frmProject::cmbWeather_Changed);
    connect(m_ui->tblRooms, &QTableWidget::itemChanged, this, &frmProject::tblRooms_ItemChanged);
    connect(m_ui->tblRooms, &QTableWidget::currentCellChanged, this, [this] { ShowCommands(); });
    connect(m_ui->cmdAddZone, &QPushButton::clicked, this, &frmProject::cmdAddZone_Click);
    connect(m_ui->cmdAddPool, &QPushButton::clicked, this, &frmProject::cmdAddPool_Click);
    connect(m_ui->cmdDuplicate, &QPushButton::clicked, this, &frmProject::cmdDuplicate_Click);
    connect(m_ui->cmdRemove, &QPushButton::clicked, this, &frmProject::cmdRemove_Click);
    connect(m_ui->cmdMoveUp, &QPushButton::clicked, this, &frmProject::cmdMoveUp_Click);
    connect(m_ui->cmdMoveDown, &QPushButton::clicked, this, &frmProject::cmdMoveDown_Click);
    connect(m_ui->cmdOpenRoom, &QPushButton::clicked, this, &frmProject::cmdOpenRoom_Click);
    connect(m_ui->cmdApplyWeather, &QPushButton::clicked, this, &frmProject::cmdApplyWeather_Click);
    connect(m_ui->cmdWeatherFile, &QPushButton::clicked, this, &frmProject::cmdWeatherFile_Click);
    connect(m_ui->cmdReport, &QPushButton::clicked, this, &frmProject::reportRequested);
    connect(m_ui->mnuProjectReport, &QAction::triggered, this, &frmProject::reportRequested);
    connect(m_ui->cmdSave, &QPushButton::clicked, this, &frmProject::Save);
    connect(m_ui->mnuSaveProject, &QAction::triggered, this, &frmProject::Save);
    connect(m_ui->mnuSaveProjectAs, &QAction::triggered, this, &frmProject::SaveAs);
    connect(m_ui->mnuNewProject, &QAction::triggered, this, &frmProject::newProjectRequested);
    connect(m_ui->mnuOpenProject, &QAction::triggered, this, &frmProject::openProjectRequested);
    connect(m_ui->cmdClose, &QPushButton::clicked, this, &QWidget::close);
    connect(m_ui->mnuClose, &QAction::triggered, this, &QWidget::close);
    SetProject(Project{}, QString());
}

frmProject::~frmProject() = default;

void frmProject::SetProject(Project project, const QString& path) {
    emit allRoomsReleased();
    m_project = std::move(project);
    m_path = path;
    m_ids.clear();
    std::generate_n(std::back_inserter(m_ids), m_project.rooms.size(), NextRoomId);
    ShowDetails();
    Recalculate();
    setWindowModified(false);
    ShowCaption();
    if (!m_project.rooms.empty()) {
        m_ui->tblRooms->setCurrentCell(0, Name);
    }
    ShowCommands();
}

void frmProject::ShowDetails() {
    m_filling = true;
    m_ui->txtTitle->setText(ToQString(m_project.title));
    m_ui->txtClient->setText(ToQString(m_project.client));
    m_ui->txtSite->setText(ToQString(m_project.site));
    m_ui->txtReference->setText(ToQString(m_project.reference));
    m_ui->txtNotes->setPlainText(ToQString(m_project.notes));
    // A weather file's point stays as the file gave it, as a choice of its own.
    while (m_ui->cmbWeather->count() > int(kDesignLocations.size()) + 1) {
        m_ui->cmbWeather->removeItem(m_ui->cmbWeather->count() - 1);
    }
    const DesignWeather& weather = m_project.weather;
    int chosen = 0;
    if (weather.source == DesignWeather::Source::Location) {
        chosen = m_ui->cmbWeather->findText(ToQString(weather.location));
    } else if (weather.source == DesignWeather::Source::WeatherFile) {
        m_fileWeather = weather;
        m_ui->cmbWeather->addItem(FileWeatherCaption(weather));
        chosen = m_ui->cmbWeather->count() - 1;
    }
    m_ui->cmbWeather->setCurrentIndex(std::max(0, chosen));
    m_filling = false;
}

void frmProject::Details_Edited() {
    if (m_filling) {
        return;
    }
    m_project.title = m_ui->txtTitle->text().toStdString();
    m_project.client = m_ui->txtClient->text().toStdString();
    m_project.site = m_ui->txtSite->text().toStdString();
    m_project.reference = m_ui->txtReference->text().toStdString();
    m_project.notes = m_ui->txtNotes->toPlainText().toStdString();
    SetModified();
}

void frmProject::cmbWeather_Changed(int index) {
    ShowCommands();
    if (m_filling) {
        return;
    }
    DesignWeather weather;
    if (index > int(kDesignLocations.size())) {
        weather = m_fileWeather;
    } else if (index > 0) {
        weather.source = DesignWeather::Source::Location;
        weather.location = std::string(kDesignLocations[std::size_t(index - 1)].name);
    }
    m_project.weather = weather;
    SetModified();
}

void frmProject::cmdApplyWeather_Click() {
    // A weather file's point is read from the file now, beside the project file.
    const DesignAmbient ambient =
        ResolveDesignWeather(m_project, QFile::encodeName(m_path).toStdString());
    if (!ambient.found) {
        ShowMessage(this, ToQString(ambient.problem));
        return;
    }
    if (ApplyDesignAmbient(m_project, ambient) == 0) {
        return;
    }
    Recalculate();
    SetModified();
    for (std::size_t i = 0; i < m_project.rooms.size(); ++i) {
        if (m_project.rooms[i].job.kind == JobKind::Zone) {
            emit roomJobReplaced(m_ids[i], m_project.rooms[i].job);
        }
    }
}

void frmProject::cmdWeatherFile_Click() {
    const QString path = ChooseWeatherFile(this);
    const std::shared_ptr<const LoadedWeather> weather =
        path.isEmpty() ? nullptr : LoadWeatherFile(this, path);
    if (!weather) {
        return;
    }
    if (weather->points.empty()) {
        ShowMessage(this, ToQString(Weather::EpwProblemMessage(
                              QFileInfo(path).fileName().toStdString(), "has no design points.")));
        return;
    }
    QStringList captions;
    for (const Weather::DesignPoint& point : weather->points) {
        captions << ToQString(DesignPointId(point)) + QStringLiteral(": ") +
                        ToQString(point.ambientTempText) + QStringLiteral("°C / ") +
                        ToQString(point.ambientRhText) + QStringLiteral("% RH");
    }
    QInputDialog dialog(this);
    dialog.setObjectName(QStringLiteral("dlgWeatherPoint"));
    dialog.setWindowTitle(QStringLiteral("Varnel DH"));
    dialog.setLabelText(
        tr("Design point of %1:").arg(ToQString(Weather::StationLine(weather->file.station))));
    dialog.setComboBoxItems(captions);
    dialog.setComboBoxEditable(false);
    const HoldCloseWhileOpen hold(this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    const qsizetype picked = captions.indexOf(dialog.textValue());
    if (picked < 0) {
        return;
    }
    m_project.weather = {DesignWeather::Source::WeatherFile,
                         {},
                         WeatherFileReference(QFile::encodeName(m_path).toStdString(),
                                              QFile::encodeName(path).toStdString()),
                         DesignPointId(weather->points[std::size_t(picked)])};
    ShowDetails();
    SetModified();
    ShowCommands();
}

void frmProject::Recalculate() {
    m_results = CalculateRooms(m_project);
    m_totals = TotalsOf(m_results);
    m_filling = true;
    m_ui->tblRooms->setRowCount(int(m_project.rooms.size()));
    for (int i = 0; i < int(m_project.rooms.size()); ++i) {
        ShowRow(i);
    }
    m_filling = false;
    m_ui->tblRooms->resizeColumnsToContents();
    ShowTotals();
}

void frmProject::RecalculateRoom(int index) {
    m_results[std::size_t(index)] = CalculateRoom(m_project.rooms[std::size_t(index)]);
    m_totals = TotalsOf(m_results);
    m_filling = true;
    ShowRow(index);
    m_filling = false;
    ShowTotals();
}

void frmProject::ShowRow(int index) {
    const Room& room = m_project.rooms[std::size_t(index)];
    const RoomResult& result = m_results[std::size_t(index)];
    QTableWidget* table = m_ui->tblRooms;
    Cell(table, index, Name)->setText(ToQString(room.name));
    Cell(table, index, Quantity)->setText(QString::number(room.quantity));
    Cell(table, index, Calculation)
        ->setText(room.job.kind == JobKind::Zone ? tr("Zone") : tr("Pool"));
    QString size = ToQString(SizeChoiceCaption(room.size));
    if (room.size == SizeChoice::Fewest && result.completed) {
        size +=
            QStringLiteral(" (%1)").arg(ToQString(kUnitSizeNames[std::size_t(result.sizeIndex)]));
    }
    Cell(table, index, Size)->setText(size);
    Cell(table, index, Size)->setData(kSizeRole, int(room.size));
    Cell(table, index, Gain)
        ->setText(result.totalGain ? ToQString(NumberText::FormatFixed(*result.totalGain, 2))
                                   : QString());
    Cell(table, index, PerRoom)
        ->setText(result.completed ? QString::number(result.unitsPerRoom) : QString());
    Cell(table, index, InAll)
        ->setText(result.completed ? QString::number(result.unitsInAll) : QString());
    Cell(table, index, Message)
        ->setText(ToQString(result.message.empty() ? result.outcome : result.message));
}

void frmProject::ShowTotals() {
    m_ui->txtTotal100->setText(QString::number(m_totals.unitsBySize[0]));
    m_ui->txtTotal160->setText(QString::number(m_totals.unitsBySize[1]));
    m_ui->txtTotal200->setText(QString::number(m_totals.unitsBySize[2]));
    m_ui->txtTotalUnits->setText(QString::number(m_totals.units));
    m_ui->lblLeftOut->setText(ToQString(LeftOutText(m_project, m_totals)));
}

QString frmProject::ShownName() const {
    const QString file = QFileInfo(m_path).fileName();
    if (!file.isEmpty()) {
        return file;
    }
    return m_project.title.empty() ? tr("Untitled") : ToQString(m_project.title);
}

void frmProject::ShowCaption() {
    setWindowTitle(tr("Project: %1[*]").arg(ShownName()));
}

void frmProject::ShowCommands() {
    const int row = CurrentRoom();
    const bool any = row >= 0;
    m_ui->cmdDuplicate->setEnabled(any);
    m_ui->cmdRemove->setEnabled(any);
    m_ui->cmdOpenRoom->setEnabled(any);
    m_ui->cmdMoveUp->setEnabled(row > 0);
    m_ui->cmdMoveDown->setEnabled(any && row + 1 < int(m_project.rooms.size()));
    m_ui->cmdApplyWeather->setEnabled(m_ui->cmbWeather->currentIndex() > 0);
}

void frmProject::SetModified() {
    setWindowModified(true);
    ShowCaption();
}

int frmProject::CurrentRoom() const {
    const int row = m_ui->tblRooms->currentRow();
    return row >= 0 && row < int(m_project.rooms.size()) ? row : -1;
}

void frmProject::AddRoom(Room room, int at) {
    m_project.rooms.insert(m_project.rooms.begin() + at, std::move(room));
    m_ids.insert(m_ids.begin() + at, NextRoomId());
    m_results.insert(m_results.begin() + at, RoomResult{});
    m_filling = true;
    m_ui->tblRooms->insertRow(at);
    m_filling = false;
    RecalculateRoom(at);
    m_ui->tblRooms->setCurrentCell(at, Name);
    SetModified();
    ShowCommands();
}

void frmProject::cmdAddZone_Click() {
    AddRoom(NewRoom(JobKind::Zone, int(m_project.rooms.size()) + 1), int(m_project.rooms.size()));
}

void frmProject::cmdAddPool_Click() {
    AddRoom(NewRoom(JobKind::Pool, int(m_project.rooms.size()) + 1), int(m_project.rooms.size()));
}

void frmProject::cmdDuplicate_Click() {
    const int row = CurrentRoom();
    if (row >= 0) {
        AddRoom(m_project.rooms[std::size_t(row)], row + 1);
    }
}

void frmProject::cmdRemove_Click() {
    const int row = CurrentRoom();
    if (row < 0) {
        return;
    }
    const RoomId id = m_ids[std::size_t(row)];
    m_project.rooms.erase(m_project.rooms.begin() + row);
    m_ids.erase(m_ids.begin() + row);
    m_results.erase(m_results.begin() + row);
    m_totals = TotalsOf(m_results);
    m_filling = true;
    m_ui->tblRooms->removeRow(row);
    m_filling = false;
    ShowTotals();
    SetModified();
    ShowCommands();
    emit roomReleased(id);
}

void frmProject::MoveRoom(int from, int to) {
    if (from < 0 || to < 0 || to >= int(m_project.rooms.size())) {
        return;
    }
    std::swap(m_project.rooms[std::size_t(from)], m_project.rooms[std::size_t(to)]);
    std::swap(m_ids[std::size_t(from)], m_ids[std::size_t(to)]);
    std::swap(m_results[std::size_t(from)], m_results[std::size_t(to)]);
    // The totals do not depend on the order, but the rooms left out are named by place.
    m_totals = TotalsOf(m_results);
    m_filling = true;
    ShowRow(from);
    ShowRow(to);
    m_filling = false;
    ShowTotals();
    m_ui->tblRooms->setCurrentCell(to, m_ui->tblRooms->currentColumn());
    SetModified();
    ShowCommands();
}

void frmProject::cmdMoveUp_Click() {
    MoveRoom(CurrentRoom(), CurrentRoom() - 1);
}

void frmProject::cmdMoveDown_Click() {
    const int row = CurrentRoom();
    MoveRoom(row, row < 0 ? -1 : row + 1);
}

void frmProject::cmdOpenRoom_Click() {
    const int row = CurrentRoom();
    if (row >= 0) {
        const Room& room = m_project.rooms[std::size_t(row)];
        emit roomOpenRequested(m_ids[std::size_t(row)], ToQString(room.name), room.job);
    }
}

void frmProject::tblRooms_ItemChanged(QTableWidgetItem* item) {
    if (m_filling) {
        return;
    }
    const int row = item->row();
    if (row < 0 || row >= int(m_project.rooms.size())) {
        return;
    }
    Room& room = m_project.rooms[std::size_t(row)];
    switch (item->column()) {
    case Name: {
        const QString name = item->text();
        if (name.trimmed().isEmpty()) {
            RefuseEdit(row, tr("A room needs a name."));
            return;
        }
        room.name = name.toStdString();
        emit roomRenamed(m_ids[std::size_t(row)], name);
        break;
    }
    case Quantity: {
        bool whole = false;
        const int quantity = item->text().trimmed().toInt(&whole);
        if (!whole || quantity < 1 || quantity > kMaxRoomQuantity) {
            RefuseEdit(row, tr("The quantity of a room must be a whole number from 1 to %1.")
                                .arg(kMaxRoomQuantity));
            return;
        }
        room.quantity = quantity;
        break;
    }
    case Size: {
        const int size = item->data(kSizeRole).toInt();
        if (size < 0 || size >= int(kSizeChoices.size())) {
            RefuseEdit(row, tr("A room's size is HX 100, HX 160, HX 200 or Fewest units."));
            return;
        }
        room.size = kSizeChoices[std::size_t(size)];
        break;
    }
    default:
        return;
    }
    RecalculateRoom(row);
    SetModified();
}

void frmProject::RefuseEdit(int index, const QString& message) {
    m_filling = true;
    ShowRow(index);
    m_filling = false;
    // After the edit has ended: a box shown while the editor is still committing
    // would take its focus and commit it a second time.
    QTimer::singleShot(0, this, [this, message] { ShowMessage(this, message); });
}

void frmProject::TakeRoomJob(RoomId room, const Job& job) {
    const auto it = std::find(m_ids.begin(), m_ids.end(), room);
    if (it == m_ids.end()) {
        return;
    }
    const auto index = std::size_t(it - m_ids.begin());
    Job& held = m_project.rooms[index].job;
    if (held.kind != job.kind || held.entries == job.entries) {
        return;
    }
    held.entries = job.entries;
    RecalculateRoom(int(index));
    SetModified();
}

bool frmProject::AskToKeepChanges() {
    if (!isWindowModified()) {
        return true;
    }
    QMessageBox box(QMessageBox::NoIcon, AppTitle(),
                    tr("Save the changes to the project \"%1\"?").arg(ShownName()),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
    box.setObjectName(QStringLiteral("msgSaveChanges"));
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    int answer = QMessageBox::Cancel;
    {
        const HoldCloseWhileOpen hold(this);
        answer = box.exec();
    }
    if (answer == QMessageBox::Save) {
        return Save();
    }
    if (answer == QMessageBox::Discard) {
        setWindowModified(false);
        return true;
    }
    return false;
}

bool frmProject::Save() {
    if (m_path.isEmpty()) {
        return SaveAs();
    }
    if (!Projects::Save(this, m_path, m_project)) {
        return false;
    }
    setWindowModified(false);
    ShowCaption();
    return true;
}

bool frmProject::SaveAs() {
    QString suggested = m_path;
    if (suggested.isEmpty() && !m_project.title.empty()) {
        suggested = ToQString(m_project.title) + ToQString(kProjectFileSuffix);
    }
    const QString path = m_chooseFile ? m_chooseFile(this, true, suggested) : QString();
    if (path.isEmpty()) {
        return false;
    }
    // A weather file is found from the project's folder, which may change here.
    Project saved = m_project;
    MoveWeatherFilePath(saved, QFile::encodeName(m_path).toStdString(),
                        QFile::encodeName(path).toStdString());
    if (!Projects::Save(this, path, saved)) {
        return false;
    }
    if (saved.weather != m_project.weather) {
        m_project.weather = m_fileWeather = saved.weather;
        m_ui->cmbWeather->setItemText(m_ui->cmbWeather->count() - 1,
                                      FileWeatherCaption(saved.weather));
    }
    m_path = path;
    setWindowModified(false);
    ShowCaption();
    return true;
}

void frmProject::closeEvent(QCloseEvent* event) {
    if (!AskToKeepChanges()) {
        event->ignore();
        return;
    }
    emit allRoomsReleased();
    event->accept();
}
