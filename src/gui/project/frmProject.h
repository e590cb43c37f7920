#pragma once

#include "core/jobs/Project.h"

#include <QMainWindow>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace Ui {
class frmProject;
}
class QTableWidgetItem;

// A project: its details, its rooms with each one's result, and the totals. Every
// figure is the engine's, worked out again whenever a room changes. At most one
// is open; it is destroyed when closed.
class frmProject : public QMainWindow {
    Q_OBJECT

public:
    // Names each room for as long as the window lives, whatever its place.
    using RoomId = std::uint64_t;

    // The file to open or to save under; empty when the user cancels.
    using FileChooser =
        std::function<QString(QWidget* parent, bool forSaving, const QString& suggested)>;

    // A window of its own over `parent`, whose frame tells where it fits on the screen.
    explicit frmProject(FileChooser chooseFile, QWidget* parent = nullptr);
    ~frmProject() override;

    // Shows this project, saved as `path` (empty: never saved), with no changes
    // to save. Every room is calculated.
    void SetProject(Project project, const QString& path);

    // For the project report: the project as it stands and its file (empty when
    // it has never been saved).
    const Project& CurrentProject() const { return m_project; }
    const QString& FilePath() const { return m_path; }
    // Each room's result, in the rooms' order, and the totals: as shown.
    const std::vector<RoomResult>& Results() const { return m_results; }
    const ProjectTotals& Totals() const { return m_totals; }

    bool HasUnsavedChanges() const { return isWindowModified(); }

    // Asks Save / Discard / Cancel when there are unsaved changes. True when the
    // project may go: saved, discarded, or nothing to save. Discarding counts as
    // an answer, so the same changes are not asked about again.
    bool AskToKeepChanges();

    // Save Project and Save Project As...: true when saved.
    bool Save();
    bool SaveAs();

    // The room's entries as a calculation screen now holds them: its row is
    // worked out again. A room no longer in the project is passed over.
    void TakeRoomJob(RoomId room, const Job& job);

signals:
    // Calculation Report...: CurrentProject(), FilePath(), Results() and Totals()
    // hold what it is to show.
    void reportRequested();
    // File > New Project... and Open Project... here: the program asks first.
    void newProjectRequested();
    void openProjectRequested();
    // Open Room: the room's entries to its calculation screen, captioned with its name.
    void roomOpenRequested(RoomId room, const QString& name, const Job& job);
    // A room's name changed, or its entries changed here (design weather applied).
    void roomRenamed(RoomId room, const QString& name);
    void roomJobReplaced(RoomId room, const Job& job);
    // The room is gone: removed, or every room with another project or the window.
    void roomReleased(RoomId room);
    void allRoomsReleased();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void cmdAddZone_Click();
    void cmdAddPool_Click();
    void cmdDuplicate_Click();
    void cmdRemove_Click();
    void cmdMoveUp_Click();
    void cmdMoveDown_Click();
    void cmdOpenRoom_Click();
    void cmdApplyWeather_Click();
    void cmdWeatherFile_Click();
    void cmbWeather_Changed(int index);
    void tblRooms_ItemChanged(QTableWidgetItem* item);
    void Details_Edited();

    void AddRoom(Room room, int at);
    void MoveRoom(int from, int to);
    int CurrentRoom() const;
    // Every room's result, the table and the totals, from the rooms.
    void Recalculate();
    // One room's result and row, and the totals.
    void RecalculateRoom(int index);
    void ShowRow(int index);
    void ShowTotals();
    void ShowDetails();
    // The file's name, else the title, else "Untitled".
    QString ShownName() const;
    void ShowCaption();
    // The room commands that need a room, or a picker location, enabled.
    void ShowCommands();
    void SetModified();
    // The in-place edit refused: its message, then the cell as it was.
    void RefuseEdit(int index, const QString& message);

    std::unique_ptr<Ui::frmProject> m_ui;
    FileChooser m_chooseFile;
    Project m_project;
    std::vector<RoomId> m_ids; // beside m_project.rooms
    std::vector<RoomResult> m_results;
    ProjectTotals m_totals;
    QString m_path;
    // A weather file's point as the file gave it, offered again once another was chosen.
    DesignWeather m_fileWeather;
    // Set while the window itself writes the table, so that only the user's
    // edits are taken as edits.
    bool m_filling = false;
};
