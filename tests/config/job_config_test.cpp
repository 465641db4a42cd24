#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <sstream>

#include "app/text_lookup.h"
#include "config/atomic_file.h"
#include "config/job_config_reader.h"
#include "config/job_config_writer.h"
#include "operator/scripted_operator.h"
#include "operator/text_ids.h"
#include "tests/support/scratch_dir.h"

namespace scantora {
namespace {

using testing::ReadFile;
using testing::ScratchDir;
using testing::WriteFile;

// A job with every field set to a value its writer form keeps unchanged.
JobRecord NineLevelJob(JobWriter writer) {
    JobRecord job;
    job.applicazione = "Archivio Pratiche";
    job.inisaveparam = "save.ini";
    job.inisetscan = "scan\\demo";
    job.nlivelli = "9";
    job.multitiff = "Y";
    job.maxdoc_num = "50";
    job.maxdoc_op = "+";
    job.nomefronte = "F";
    job.nomeretro = "R";
    job.maxdoc_nliv = "2";
    job.disco_scarico = "/srv/work";
    job.disco_work = "D";
    job.automatico = "1";
    job.jpgcompress = "90";
    for (int n = 0; n < kMaxLevels; ++n) {
        auto& level = job.levels[n];
        const std::string tag = std::to_string(n);
        level.descrizione = "Livello " + tag;
        level.nomefileinput = n == 2 ? "codes" + tag + ".txt" : "";
        level.nmaxcar = std::to_string(4 + n);
        level.composnome = "%" + tag;
        level.opfinescandoc = n % 3 == 0 ? "+" : (n % 3 == 1 ? "-" : "");
        const bool mandatory = n % 2 == 0;
        level.obbligatorio =
            writer == JobWriter::kMain ? (mandatory ? "1" : "0") : (mandatory ? "Y" : "N");
        level.avuoto = n == 4 ? "VUOTO" : "";
        level.lockuser = n == 1 ? "1" : "0";
    }
    job.trasferimento = "1";
    job.viewnlivelli = "3";
    job.invioa = "/srv/dest";
    job.log = "1";
    job.nomefilelog = "transfer.log";
    job.numlivellilog = "2";
    job.lognumfile = "1";
    job.logdirbase = "0";
    job.chiusuradopotrasf = "1";
    job.semaforo = "1";
    job.semaforo_momentocreaz = "1";
    job.semaforo_nomefile = "ready.sem";
    job.barcode = "1";
    job.nomefilebarcode = "barcodes.txt";
    job.barcodeval = "1025";
    job.exportbarcodeinbatch = "1";
    job.thresholdbarcode = "128";
    job.adaptivebarcode = "1";
    job.separators[0] = {"1", "SEP-DOC", "+", "1"};
    job.separators[2] = {"3", "NEXT", "-", "0"};
    job.separators[1] = {"0", "", "", ""};
    job.twainsource = "Fujitsu fi-7160";
    job.showtwain = "3";
    return job;
}

void ExpectSameJob(const JobRecord& a, const JobRecord& b) {
    const auto table = KeyTable::Build();
    for (const auto& section : table.sections())
        for (const auto& key : section.keys)
            EXPECT_EQ(key.Value(a), key.Value(b)) << key.key;
}

class JobConfigTest : public ::testing::Test {
protected:
    JobReadResult Read(const std::string& name, JobRecord& job,
                       const BarcodeOverrides& overrides = {}) {
        return ReadJobConfig(table_, dir_.path(), name, overrides, job, op_, texts_);
    }
    JobReadResult ReadText(const std::string& content, JobRecord& job) {
        WriteFile(dir_ / "job.ini", content);
        return Read("job.ini", job);
    }
    bool Write(const JobRecord& job, JobWriter writer, const std::string& name = "P_G32001") {
        return WriteJobConfig(table_, job, writer, dir_.path(), name, dir_ / "tmpLIV.all", op_,
                              texts_);
    }

    ScratchDir dir_;
    KeyTable table_ = KeyTable::Build();
    ScriptedOperator op_;
    TextLookup texts_;
};

TEST_F(JobConfigTest, NineLevelJobRoundTripsThroughBothWriters) {
    for (JobWriter writer : {JobWriter::kMain, JobWriter::kSecond}) {
        const JobRecord written = NineLevelJob(writer);
        ASSERT_TRUE(Write(written, writer, "C:\\jobs\\P_G32001"));
        JobRecord read;
        ASSERT_EQ(Read("P_G32001", read), JobReadResult::kOk);
        ExpectSameJob(written, read);
        EXPECT_FALSE(std::filesystem::exists(dir_ / "tmpLIV.all"));
    }
    EXPECT_EQ(op_.Messages(),
              (std::vector<std::string>{"Restart Scantora",
                                        "Riavviare l'applicazione per rendere attive le "
                                        "modifiche"}));
}

TEST_F(JobConfigTest, WritersDifferInTheirForms) {
    JobRecord job = NineLevelJob(JobWriter::kMain);
    job.multitiff = "yes";
    job.maxdoc_op = "x";
    job.levels[0].obbligatorio = "Y";
    job.levels[1].obbligatorio = "7";
    const std::string main = ComposeJobFile(table_, job, JobWriter::kMain);
    const std::string second = ComposeJobFile(table_, job, JobWriter::kSecond);
    EXPECT_NE(main.find("\nMULTITIFF=y\n"), std::string::npos);
    EXPECT_NE(second.find("\nMULTITIFF=N\n"), std::string::npos);
    EXPECT_NE(main.find("\nMAXDOC_OP=x\n"), std::string::npos);
    EXPECT_NE(second.find("\nMAXDOC_OP=\n"), std::string::npos);
    EXPECT_NE(main.find("\nOBBLIGATORIO_0=1\n"), std::string::npos);
    EXPECT_NE(main.find("\nOBBLIGATORIO_1=1\n"), std::string::npos);
    EXPECT_NE(second.find("\nOBBLIGATORIO_0=Y\n"), std::string::npos);
    EXPECT_NE(second.find("\nOBBLIGATORIO_1=Y\n"), std::string::npos);
    EXPECT_EQ(main.rfind("[GENERALE]\nAPPLICAZIONE=Archivio Pratiche\n", 0), 0u);
}

TEST_F(JobConfigTest, ThreeLevelJobWritesAllNineSectionsAndEmptyForms) {
    JobRecord job = NineLevelJob(JobWriter::kMain);
    job.nlivelli = "3";
    job.maxdoc_op = "";
    job.jpgcompress = "";
    job.separators[0].liv = "";
    const std::string text = ComposeJobFile(table_, job, JobWriter::kMain);
    for (int n = 0; n < kMaxLevels; ++n)
        EXPECT_NE(text.find("\n[LIVELLO " + std::to_string(n) + "]\n"), std::string::npos);
    EXPECT_NE(text.find("DESCRIZIONE_2=Livello 2\n"), std::string::npos);
    EXPECT_NE(text.find("\n[LIVELLO 3]\nDESCRIZIONE_3=\nNOMEFILEINPUT_3=\nNMAXCAR_3=\n"
                        "COMPOSNOME_3=\nOPFINESCANDOC_3=\nOBBLIGATORIO_3=\nAVUOTO_3=\n"
                        "LOCKUSER_3=\n"),
              std::string::npos);
    EXPECT_NE(text.find("\nMAXDOC_OP=\n"), std::string::npos);
    EXPECT_NE(text.find("\nJPGCOMPRESS=0\n"), std::string::npos);
    EXPECT_NE(text.find("\nSEP01_LIV=0\nSEP01_VAL=\nSEP01_OP=\nSEP01_SAVEIMG=\nSEP02_LIV=0\n"),
              std::string::npos);
    EXPECT_NE(text.find("\nSEP03_LIV=3\nSEP03_VAL=NEXT\nSEP03_OP=-\nSEP03_SAVEIMG=0\n"),
              std::string::npos);
    EXPECT_NE(text.find("\n\n[VARIE]\nTWAINSOURCE=Fujitsu fi-7160\nSHOWTWAIN=3\n"),
              std::string::npos);
}

TEST_F(JobConfigTest, ValuesWithLineEndsCannotInjectKeys) {
    JobRecord job = NineLevelJob(JobWriter::kMain);
    job.applicazione = "A\nNLIVELLI=1";
    const std::string text = ComposeJobFile(table_, job, JobWriter::kMain);
    EXPECT_NE(text.find("APPLICAZIONE=ANLIVELLI=1\n"), std::string::npos);
}

TEST_F(JobConfigTest, LevelCountWithALineEndWritesTheSectionsItsLineAnnounces) {
    // A lone CR inside the value reads as no levels, but the file cannot keep it: the sections
    // follow the NLIVELLI line as written, so reading and saving again changes nothing.
    JobRecord job = NineLevelJob(JobWriter::kMain);
    job.nlivelli = "\r3";
    for (JobWriter writer : {JobWriter::kMain, JobWriter::kSecond}) {
        const std::string written = ComposeJobFile(table_, job, writer);
        EXPECT_NE(written.find("\nNLIVELLI=3\n"), std::string::npos);
        EXPECT_NE(written.find("\nDESCRIZIONE_2=Livello 2\n"), std::string::npos);
        EXPECT_NE(written.find("\nDESCRIZIONE_3=\n"), std::string::npos);
        JobRecord reread;
        std::istringstream in(written);
        ApplyJobLines(in, table_, {}, reread);
        EXPECT_EQ(ComposeJobFile(table_, reread, writer), written);
    }
}

// The [GENERALE] section of a valid job plus one complete level.
std::string GeneralAndLevel0() {
    return "[GENERALE]\nAPPLICAZIONE=J\nINISAVEPARAM=s\nINISETSCAN=t\nNLIVELLI=1\n"
           "MULTITIFF=N\nMAXDOC_OP=\nMAXDOC_NUM=1\nNOMEFRONTE=f\nNOMERETRO=b\n"
           "MAXDOC_NLIV=1\nDISCO_SCARICO=/w\nDISCO_WORK=C\nAUTOMATICO=0\n"
           "[LIVELLO 0]\nDESCRIZIONE_0=Box\nNOMEFILEINPUT_0=\nNMAXCAR_0=4\nCOMPOSNOME_0=%1\n"
           "OPFINESCANDOC_0=+\nOBBLIGATORIO_0=1\nAVUOTO_0=\n";
}

TEST_F(JobConfigTest, PrefixIncludesTheEqualsSign) {
    JobRecord job;
    ASSERT_EQ(ReadText(GeneralAndLevel0() + "[TRASFERIMENTO]\nLOGNUMFILE=1\nLOGDIRBASE=1\n", job),
              JobReadResult::kKeysMissing);
    EXPECT_EQ(job.log, "");
    EXPECT_EQ(job.lognumfile, "1");
    JobRecord other;
    ReadText(GeneralAndLevel0() + "[TRASFERIMENTO]\nLOG=1\nLOGx=9\n", other);
    EXPECT_EQ(other.log, "1");
}

TEST_F(JobConfigTest, MandatoryCountingFollowsTheSectionsPresent) {
    JobRecord job;
    // No [TRASFERIMENTO] at all: its mandatory keys are not expected.
    EXPECT_EQ(ReadText(GeneralAndLevel0(), job), JobReadResult::kOk);
    EXPECT_EQ(job.applicazione, "J");
    EXPECT_EQ(job.levels[0].descrizione, "Box");

    // A header present but its keys missing: failure, values kept.
    JobRecord partial;
    EXPECT_EQ(ReadText(GeneralAndLevel0() + "[LIVELLO 1]\nDESCRIZIONE_1=Folder\n", partial),
              JobReadResult::kKeysMissing);
    EXPECT_EQ(partial.levels[1].descrizione, "Folder");
    EXPECT_EQ(op_.Messages().back(),
              "ATTENZIONE!!!Non riesco a caricare i parametri di lavoro.\nChiamare Assistenza "
              "Software");

    // A repeated key counts twice and the later value wins, making up for a missing one.
    std::string text = GeneralAndLevel0();
    text.replace(text.find("AUTOMATICO=0\n"), 13, "APPLICAZIONE=K\n");
    JobRecord repeated;
    EXPECT_EQ(ReadText(text, repeated), JobReadResult::kOk);
    EXPECT_EQ(repeated.applicazione, "K");
    EXPECT_EQ(repeated.automatico, "");
}

TEST_F(JobConfigTest, IgnoresCommentsUnknownSectionsAndStrayLines) {
    JobRecord job;
    const std::string text = "APPLICAZIONE=before\n#[GENERALE]\n[generale]\nAPPLICAZIONE=lower\n" +
                             GeneralAndLevel0() + "#APPLICAZIONE=comment\nJUNK\n\n" +
                             "[ALTRO]\nAPPLICAZIONE=other\n[LIVELLO 9]\nDESCRIZIONE_9=x\n";
    EXPECT_EQ(ReadText(text, job), JobReadResult::kOk);
    EXPECT_EQ(job.applicazione, "J");
}

TEST_F(JobConfigTest, KeepsLastLineWithoutLineEndAndAcceptsCrLf) {
    JobRecord job;
    std::string text = GeneralAndLevel0() + "[VARIE]\r\nTWAINSOURCE=Scanner X";
    EXPECT_EQ(ReadText(text, job), JobReadResult::kOk);
    EXPECT_EQ(job.twainsource, "Scanner X");
    JobRecord crlf;
    std::string windows = GeneralAndLevel0();
    for (auto at = windows.find('\n'); at != std::string::npos; at = windows.find('\n', at + 2))
        windows.insert(at, "\r");
    EXPECT_EQ(ReadText(windows, crlf), JobReadResult::kOk);
    EXPECT_EQ(crlf.disco_scarico, "/w");
}

TEST_F(JobConfigTest, LongAndNonAsciiValuesAreCutToTheirWidthAsUtf8) {
    JobRecord job;
    std::string text = GeneralAndLevel0();
    text.insert(text.find("[LIVELLO 0]"),
                "NOMEFRONTE=" + std::string(100000, 'x') + "\nDISCO_WORK=\xE8\xE8\xE8\xE8\xE8" +
                    "\xE8\xE8\xE8\xE8\xE8\xE8\nAPPLICAZIONE=Citt\xC3\xA0\n");
    EXPECT_EQ(ReadText(text, job), JobReadResult::kOk);
    EXPECT_EQ(job.nomefronte, "xxxx");
    std::string nine_e;
    for (int i = 0; i < 9; ++i)
        nine_e += "\xC3\xA8";
    EXPECT_EQ(job.disco_work, nine_e);
    EXPECT_EQ(job.applicazione, "Citt\xC3\xA0");
}

TEST_F(JobConfigTest, CommandLineBarcodeValuesWinOverTheFile) {
    JobRecord job;
    WriteFile(dir_ / "job.ini", GeneralAndLevel0() +
                                    "[BARCODE]\nBARCODE=0\nNOMEFILEBARCODE=file.txt\n"
                                    "BARCODEVAL=1\nTHRESHOLDBARCODE=99\n");
    BarcodeOverrides overrides;
    overrides.barcode = "1";
    overrides.barcodeval = "1025";
    EXPECT_EQ(Read("job.ini", job, overrides), JobReadResult::kOk);
    EXPECT_EQ(job.barcode, "1");
    EXPECT_EQ(job.barcodeval, "1025");
    EXPECT_EQ(job.nomefilebarcode, "file.txt");
    EXPECT_EQ(job.thresholdbarcode, "99");
}

// Job files from before the adaptive search have no ADAPTIVEBARCODE: it reads empty (off), and
// both writers then write it off.
TEST_F(JobConfigTest, AnAbsentAdaptiveKeyIsOffAndWrittenOff) {
    JobRecord job;
    ASSERT_EQ(ReadText(GeneralAndLevel0() + "[BARCODE]\nBARCODE=1\nTHRESHOLDBARCODE=99\n", job),
              JobReadResult::kOk);
    EXPECT_EQ(job.adaptivebarcode, "");
    for (JobWriter writer : {JobWriter::kMain, JobWriter::kSecond}) {
        const std::string text = ComposeJobFile(table_, job, writer);
        EXPECT_NE(text.find("\nTHRESHOLDBARCODE=99\nADAPTIVEBARCODE=0\n"), std::string::npos);
    }
}

TEST_F(JobConfigTest, MissingEmptyAndBinaryFilesFailWithTheirMessages) {
    JobRecord job;
    EXPECT_EQ(Read("absent.ini", job), JobReadResult::kNotFound);
    EXPECT_EQ(op_.Count(OperatorEvent::Kind::kBeep), 1);
    EXPECT_EQ(op_.Messages().back(), "Scantora  - Selezione Applicazione (LoadFileini2)");
    EXPECT_EQ(Read("", job), JobReadResult::kNotFound);

    EXPECT_EQ(ReadText("", job), JobReadResult::kKeysMissing);
    std::string binary;
    for (int i = 0; i < 4096; ++i)
        binary.push_back(static_cast<char>((i * 37) & 0xFF));
    EXPECT_EQ(ReadText(binary, job), JobReadResult::kKeysMissing);
    // A NUL ends the text of a line: the value keeps what comes before it.
    std::string with_nul = GeneralAndLevel0();
    with_nul.insert(with_nul.find("[LIVELLO 0]"), std::string("NOMERETRO=ab\0cd\n", 15));
    EXPECT_EQ(ReadText(with_nul, job), JobReadResult::kOk);
    EXPECT_EQ(job.nomeretro, "ab");
}

TEST_F(JobConfigTest, FailedWriteLeavesTheOldFileIntact) {
    const std::string old_text = "[GENERALE]\nAPPLICAZIONE=old\n";
    WriteFile(dir_ / "P_G32001", old_text);
    const JobRecord job = NineLevelJob(JobWriter::kMain);

    // The temporary file cannot be created.
    EXPECT_FALSE(WriteJobConfig(table_, job, JobWriter::kMain, dir_.path(), "P_G32001",
                                dir_ / "missing-dir" / "tmpLIV.all", op_, texts_));
    EXPECT_EQ(op_.Messages().back(), "Errore Salvataggio parametri Applicazione");
    EXPECT_EQ(ReadFile(dir_ / "P_G32001"), old_text);

    // The disk fills up while writing: simulated with a file-size limit.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 64;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const RewriteResult through_temp = RewriteThroughTemp(
        dir_ / "P_G32001", ComposeJobFile(table_, job, JobWriter::kMain), dir_ / "tmpLIV.all");
    const RewriteResult direct = WriteFileAtomically(dir_ / "P_G32001", std::string(1000, 'z'));
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_EQ(through_temp, RewriteResult::kTempFailed);
    EXPECT_EQ(direct, RewriteResult::kReplaceFailed);
    EXPECT_EQ(ReadFile(dir_ / "P_G32001"), old_text);
    EXPECT_FALSE(std::filesystem::exists(dir_ / "tmpLIV.all"));
    std::size_t leftovers = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir_.path()))
        leftovers += entry.path().filename() != "P_G32001";
    EXPECT_EQ(leftovers, 0u);
}

TEST(AtomicFile, TempDirectoryFollowsTheEnvironment) {
    const char* saved_temp = std::getenv("TEMP");
    const char* saved_tmpdir = std::getenv("TMPDIR");
    const std::string temp_copy = saved_temp ? saved_temp : "";
    const std::string tmpdir_copy = saved_tmpdir ? saved_tmpdir : "";
    setenv("TEMP", "/t1", 1);
    setenv("TMPDIR", "/t2", 1);
    EXPECT_EQ(JobRewriteTempPath(), "/t1/tmpLIV.all");
    setenv("TEMP", "", 1);
    EXPECT_EQ(TempDirectory(), "/t2");
    unsetenv("TMPDIR");
    EXPECT_EQ(TempDirectory(), "/tmp");
    saved_temp ? setenv("TEMP", temp_copy.c_str(), 1) : unsetenv("TEMP");
    if (saved_tmpdir) setenv("TMPDIR", tmpdir_copy.c_str(), 1);
}

}  // namespace
}  // namespace scantora
