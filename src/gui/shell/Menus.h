#pragma once

#include <functional>

class QMainWindow;

// The menu bar of each working screen, with the items, names and separators
// that screen carries. Each handler is called when its item is chosen; a null
// handler leaves the item out.
struct MenuHandlers {
    std::function<void()> newProject; // every screen
    std::function<void()> openProject;
    std::function<void()> saveProject;
    std::function<void()> saveProjectAs;
    // Whether a project is open for the save items to act on.
    std::function<bool()> projectOpen;
    std::function<void()> openJob; // the calculation screens only
    std::function<void()> saveJob;
    std::function<void()> print;
    std::function<void()> exit;
    std::function<void()> password;
    std::function<void()> evaporationMethods;
    std::function<void()> condensationCheck;
    std::function<void()> report;
    std::function<void()> chart;
    std::function<void()> year; // the zone screen only
    std::function<void()> help;
    std::function<void()> about;
};

enum class MenuKind { Main, Zone, Pool };

void InstallMenus(QMainWindow* screen, MenuKind kind, const MenuHandlers& handlers);
