// Identifiers of the interface texts, by what they say. Any identifier of the language table
// may be looked up by number; the ones the code names are listed here.
#pragma once

namespace scantora::text_id {

// Menu entries.
inline constexpr int kMenuFile = 100;
inline constexpr int kMenuOpenFile = 101;
inline constexpr int kMenuSendFiles = 102;
inline constexpr int kMenuExit = 103;
inline constexpr int kMenuJob = 200;
inline constexpr int kMenuJobSetup = 201;
inline constexpr int kMenuJobSelect = 202;
inline constexpr int kMenuView = 300;
inline constexpr int kMenuScanner = 400;
inline constexpr int kMenuAbout = 500;
// Shown when the scanner settings cannot be written after a menu command (no built-in text).
inline constexpr int kScannerSettingsNotWritten = 117;

// Texts that a language file never replaces.
inline constexpr int kFillFieldsToScan = 61446;
inline constexpr int kJobFileRequired = 61447;
inline constexpr int kControlTableNotLoaded = 61449;
inline constexpr int kControlTableOpenError = 61450;
inline constexpr int kUnknownParameter = 61451;

inline constexpr int kSetupDirectoryMissing = 61453;
inline constexpr int kMoveFilesAllocation = 61454;
inline constexpr int kJobSettingsTitle = 61485;
inline constexpr int kRegisteredJobs = 61486;
inline constexpr int kNewJob = 61487;
inline constexpr int kJobSelectionCaption = 61488;
inline constexpr int kYes = 61492;
inline constexpr int kYesToAll = 61493;
inline constexpr int kAppend = 61502;
inline constexpr int kRescan = 61503;
inline constexpr int kContinueBatch = 61504;
inline constexpr int kNextBatch = 61505;
inline constexpr int kContinueScanning = 61506;
inline constexpr int kSaveJobError = 61507;
inline constexpr int kTemporaryFileError = 61508;
inline constexpr int kMaxCharactersPrefix = 61509;
inline constexpr int kCharacters = 61510;
inline constexpr int kImageExists = 61511;
inline constexpr int kImages = 61512;
inline constexpr int kWith = 61513;
inline constexpr int kWhichOperation = 61514;
inline constexpr int kEndOfDocuments = 61515;
inline constexpr int kNameStructureError = 61519;
inline constexpr int kIniFileMissing = 61524;
inline constexpr int kJobNotLoaded = 61526;
inline constexpr int kRestartApplication = 61537;

}  // namespace scantora::text_id
