// The names by which the suite's programs find each other and their files: program files, window classes and
// titles, the suite's own files and folders, and the store's account. Nothing else in the suite spells them.
#pragma once

namespace common {

// The suite folder under the drive root, where Start.exe, the updater and autorun.inf look for the suite.
inline constexpr char16_t kSuiteFolder[] = u"Kelvo";

// The programs in the suite folder (the starter sits at the drive root).
inline constexpr char16_t kLauncherProgram[] = u"Tolv.exe";
inline constexpr char16_t kAgentProgram[] = u"Marlo.exe";
inline constexpr char16_t kSettingsProgram[] = u"TolvSet.exe";
inline constexpr char16_t kUpdaterProgram[] = u"KelvoUp.exe";
// The updater's own new version travels under this name and is moved over the updater by the agent.
inline constexpr char16_t kStagedUpdaterProgram[] = u"KelvoUp.ex_";
inline constexpr char16_t kStarterProgram[] = u"Start.exe";

// Window classes (and the launcher's title) by which the programs find each other.
inline constexpr char16_t kLauncherClass[] = u"TolvApp";
inline constexpr char16_t kLauncherTitle[] = u"TolvApp";
inline constexpr char16_t kAgentClass[] = u"Marlo";
inline constexpr char16_t kSettingsClass[] = u"TolvSetApp";

// Program titles, as their own message boxes show them.
inline constexpr char16_t kAgentTitle[] = u"Marlo";
inline constexpr char16_t kUpdaterTitle[] = u"KelvoUp";
// The store's name: the agent's tray tip and the store browser's title.
inline constexpr char16_t kStoreName[] = u"Storvia";

// The suite's files in the suite folder, and a package's profile (on the store and in each package folder).
inline constexpr char16_t kEnvironmentFile[] = u"TolvEnv.xml";
inline constexpr char16_t kSettingsFile[] = u"TolvSet.xml";
inline constexpr char16_t kCredentialsFile[] = u"TolvIni.dat";
inline constexpr char16_t kProfileFile[] = u"Profile.xml";

// Folders at the drive root: the packages' home, and the user's documents the agent can put on the launcher.
inline constexpr char16_t kPackagesFolder[] = u"Portable Programs";
inline constexpr char16_t kDocumentsFolder[] = u"Documents";
// In the suite folder: where jobs stage what they fetch, on the packages' drive and out of any package name's reach.
inline constexpr char16_t kStagingFolder[] = u"Staging";

// The FTP account every store connection uses.
inline constexpr char16_t kStoreFtpUser[] = u"mvtrloze";
inline constexpr char16_t kStoreFtpPassword[] = u"mvtrloze$%^";

}  // namespace common
