// The program's arguments: the job items, --check and the batch mode's options.
#include "app/program_arguments.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace scantora {
namespace {

ProgramArguments Parse(std::vector<std::string_view> args) {
    args.insert(args.begin(), "scantora");
    return ParseProgramArguments(args);
}

TEST(ProgramArguments, JobItemsFormTheCommandLine) {
    const ProgramArguments args = Parse({"--setup", "/s", "APP=DEMO", "LEVELS=A,,B", "BC=1"});
    EXPECT_TRUE(args.valid);
    EXPECT_EQ(args.mode, ProgramMode::kWindow);
    EXPECT_EQ(args.startup.setup_dir, std::filesystem::path("/s"));
    EXPECT_EQ(args.startup.command_line, "APP=DEMO LEVELS=A,,B BC=1");
    EXPECT_EQ(args.startup.program_path, "scantora");
}

TEST(ProgramArguments, BatchOptionsAndTheirDefaults) {
    ProgramArguments args = Parse({"--batch", "APP=DEMO"});
    EXPECT_TRUE(args.valid);
    EXPECT_EQ(args.mode, ProgramMode::kBatch);
    EXPECT_EQ(args.batch.source, "");
    EXPECT_EQ(args.batch.on_existing, ExistingFileAnswer::kAppend);
    EXPECT_EQ(args.batch.on_end_of_document, EndOfDocumentAnswer::kNext);
    EXPECT_EQ(args.batch.end_of_batch, EndOfBatchAnswer::kKeep);

    args = Parse({"APP=DEMO", "--source", "folder:/in", "--on-existing", "cancel", "--batch",
                  "--on-end-of-document", "stop", "--end-of-batch", "transfer"});
    EXPECT_TRUE(args.valid);
    EXPECT_EQ(args.batch.source, "folder:/in");
    EXPECT_EQ(args.batch.on_existing, ExistingFileAnswer::kCancel);
    EXPECT_EQ(args.batch.on_end_of_document, EndOfDocumentAnswer::kStop);
    EXPECT_EQ(args.batch.end_of_batch, EndOfBatchAnswer::kTransfer);
    EXPECT_EQ(Parse({"--batch", "APP=D", "--on-existing", "replace"}).batch.on_existing,
              ExistingFileAnswer::kReplace);
    EXPECT_EQ(
        Parse({"--batch", "APP=D", "--on-end-of-document", "continue"}).batch.on_end_of_document,
        EndOfDocumentAnswer::kContinue);
}

TEST(ProgramArguments, RefusedArgumentsSayWhy) {
    EXPECT_EQ(Parse({"--batch", "APP=D", "--source"}).error, "--source needs a value");
    EXPECT_EQ(Parse({"--batch", "APP=D", "--on-existing", "APPEND"}).error,
              "--on-existing does not take \"APPEND\"");
    EXPECT_EQ(Parse({"--batch", "APP=D", "--end-of-batch", ""}).error,
              "--end-of-batch does not take \"\"");
    EXPECT_EQ(Parse({"APP=D", "--source", "x"}).error, "the batch options need --batch");
    EXPECT_EQ(Parse({"--batch", "LEVELS=A"}).error, "--batch needs APP=<job>");
    EXPECT_EQ(Parse({"--batch", "--check", "APP=D"}).error,
              "--check, --transfer and --batch exclude each other");
    EXPECT_FALSE(Parse({"--batch", "APP=D", "--source"}).valid);
    EXPECT_EQ(Parse({"--bogus"}).error, "unknown option --bogus");
    EXPECT_EQ(Parse({"--setup", ""}).error, "--setup does not take \"\"");
    // A value is taken as it stands, even when it looks like an option.
    EXPECT_EQ(Parse({"--batch", "APP=D", "--source", "--check"}).batch.source, "--check");
}

}  // namespace
}  // namespace scantora
