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
inline constexpr int kShowImages = 61489;
inline constexpr int kCancelScan = 61490;
inline constexpr int kEndScan = 61491;
inline constexpr int kYes = 61492;
inline constexpr int kYesToAll = 61493;
// The transfer run.
inline constexpr int kTransferFiles = 61494;
inline constexpr int kCheckingFreeSpace = 61496;
inline constexpr int kTransferError = 61497;
inline constexpr int kNoFreeSpace = 61498;
inline constexpr int kFreeSpaceError = 61499;
inline constexpr int kTransferCompleted = 61500;
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
inline constexpr int kImagesAcquired = 61516;
inline constexpr int kScanningStarted = 61517;
inline constexpr int kScanningStopped = 61518;
inline constexpr int kNameStructureError = 61519;
inline constexpr int kIniFileMissing = 61524;
inline constexpr int kJobNotLoaded = 61526;
inline constexpr int kConfirmDelete = 61527;
inline constexpr int kEndOfBatch = 61532;
inline constexpr int kRestartApplication = 61537;
inline constexpr int kLanguage = 61542;
inline constexpr int kFileExistsCaption = 61547;

// Labels that the dialogs once carried fixed in their layouts; numbered here so that a language
// file translates them too.
inline constexpr int kOk = 61600;
inline constexpr int kCancel = 61601;
inline constexpr int kMultiTiff = 61602;
inline constexpr int kExportInBatch = 61603;
inline constexpr int kThresholdHint = 61604;
inline constexpr int kJpegCompression = 61605;
inline constexpr int kBarcodeRecognitionCaption = 61606;
inline constexpr int kBarcodeTypeGroup = 61607;
inline constexpr int kSelectAll = 61608;
inline constexpr int kDeselectAll = 61609;
inline constexpr int kTabbedSetupCaption = 61610;
// The eleven symbologies, in the order of their bits (Code 3 of 9 ... EAN-8).
inline constexpr int kFirstSymbology = 61611;
inline constexpr int kScannerParameterCaption = 61630;
inline constexpr int kResolution = 61631;
inline constexpr int kBrightness = 61632;
inline constexpr int kContrast = 61633;
inline constexpr int kDeskew = 61634;
inline constexpr int kNegative = 61635;
inline constexpr int kFrontBack = 61636;
inline constexpr int kFrameSize = 61637;
inline constexpr int kFrameA4 = 61638;
inline constexpr int kFrameA5 = 61639;
inline constexpr int kFrameDefault = 61640;
inline constexpr int kFrameCustom = 61641;
inline constexpr int kFrameLeft = 61642;
inline constexpr int kFrameTop = 61643;
inline constexpr int kFrameBottom = 61644;
inline constexpr int kFrameRight = 61645;
inline constexpr int kMillimetres = 61646;
// The three scan types, in the order of their TIPO values (0 line art, 1 grey, 2 colour).
inline constexpr int kFirstScanType = 61647;
inline constexpr int kScanType = 61650;
inline constexpr int kScanOptionsCaption = 61651;
inline constexpr int kScanFrame = 61652;
inline constexpr int kFrameWidth = 61653;
inline constexpr int kFrameHeight = 61654;
inline constexpr int kRejectCorrectionCaption = 61660;
inline constexpr int kDocumentCount = 61661;
inline constexpr int kAdaptiveBarcode = 61662;
// The main window's and the identification panel's buttons.
inline constexpr int kStartScan = 61680;
inline constexpr int kStopScan = 61681;
inline constexpr int kNextDocument = 61682;
inline constexpr int kDeleteFile = 61683;
inline constexpr int kZoomIn = 61684;
inline constexpr int kZoomOut = 61685;
inline constexpr int kFirstPage = 61686;
inline constexpr int kPreviousPage = 61687;
inline constexpr int kNextPage = 61688;
inline constexpr int kLastPage = 61689;
inline constexpr int kSmallIcons = 61690;
inline constexpr int kBigIcons = 61691;

}  // namespace scantora::text_id
