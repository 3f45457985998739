#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "project/project.h"
#include "project/settings.h"

namespace tarnwick {

// The message boxes and the modal dialogs the Project menu shows; the file dialogs' answers
// are arguments of the commands instead.
class ProjectUi {
  public:
    virtual ~ProjectUi() = default;

    virtual void showError(std::string_view text) = 0;
    virtual void showInformation(std::string_view text) = 0;
    virtual bool askYesNo(std::string_view text) = 0;

    // The Project Format dialog, its first item selected; nullopt for Cancel.
    virtual std::optional<ProjectFormat> chooseFormat() = 0;
    // The options and CPU dialogs edit the value they get; false for Cancel.
    virtual bool editAsm11Options(Asm11Options& options) = 0;
    virtual bool editS19Start(std::string& start) = 0;
    virtual bool editCpuConfiguration(CpuConfiguration& cpu) = 0;
};

// Enabled entries of the menus and tool buttons that follow the project state.
struct ProjectMenuState {
    bool newAndOpen = true;        // Project New, Open, tool button Open Project
    bool projectCommands = false;  // Close, Add, Remove, Build, Save to BINary, Options
    bool debug = false;            // Debug menu, tool button Debug Start/Stop
    bool configureCpu = false;
    bool benchmark = true;
    bool operator==(const ProjectMenuState&) const = default;
};
ProjectMenuState projectMenuState(bool projectOpen);

// Which filter of "Add to project" is preselected.
enum class AddFilter { Assembler = 1, S19 = 2, IccDbg = 3, AnyFile = 4 };

inline constexpr std::string_view kProductName = "Tarnwick";

// New and Add refuse a path with a control character: the project file could not hold it.
inline constexpr std::string_view kControlCharacterText =
    "The file name holds a line end, a tab or another control character; a project cannot "
    "store it. Rename the file and choose it again.";

// The Project menu's commands on the one open project.
class ProjectCommands {
  public:
    ProjectCommands(ProjectUi& ui, SettingsStore& store, Settings& settings, AddressSpace& memory)
        : ui_(ui), store_(store), settings_(settings), memory_(memory) {}

    // The answer of "New project" / "Open project"; nullopt for Cancel. New writes the
    // project file only once every dialog was answered with OK, replacing an existing file
    // as a whole; a cancelled New leaves the file system and the model as they were. A name
    // without extension gets ".pro".
    void newProject(const std::optional<std::filesystem::path>& chosen);
    void open(const std::optional<std::filesystem::path>& chosen);
    void openLast();
    void close();
    void addFile(const std::optional<std::filesystem::path>& chosen);
    void removeFile(std::optional<std::size_t> selected);
    void options();

    AddFilter addDialogFilter() const;
    const std::string& addDialogDirectory() const { return project_.directory; }

    const Project& project() const { return project_; }
    // The debugger works on the open project (its CPU configuration among it).
    Project& project() { return project_; }
    bool isOpen() const { return open_; }
    ProjectMenuState menus() const { return projectMenuState(open_); }
    std::string mainCaption() const;
    // The project window's caption: the project path, or "Project" without one.
    std::string projectWindowCaption() const;
    // Offered while no project is open and the settings record one.
    bool lastProjectEntryVisible() const { return !open_ && !settings_.lastProject.empty(); }
    const std::string& lastProjectEntryCaption() const { return settings_.lastProject; }
    std::optional<std::size_t> selectedFile() const { return selectedFile_; }

  private:
    void openPath(const std::filesystem::path& path, std::string_view wrongExtension);
    void enterOpenState();
    void recordLastProject(const std::string& path);
    bool saveFileList(std::vector<std::string> files);

    ProjectUi& ui_;
    SettingsStore& store_;
    Settings& settings_;
    AddressSpace& memory_;
    Project project_;
    bool open_ = false;
    std::optional<std::size_t> selectedFile_;
};

}  // namespace tarnwick
