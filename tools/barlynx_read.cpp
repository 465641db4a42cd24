// barlynx-read: one GetAllBarCode call of the Barlynx control from the command line, with the
// values the program sets unless given. Prints FILE<TAB>ERROR<TAB>RESULT (RESULT escaped as
// pixdoc-barcode does), each message box on stderr as one line "message: TEXT", and answers
// every correction dialog with OK and --correct's text (Cancel without it). Exit 0 when the call
// ran, 1 when the control could not be created or FILE is one of the library's special names,
// 2 on usage errors.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "barcode_control/barlynx.h"
#include "tools/escaped_text.h"
#include "tools/file_arguments.h"
#include "tools/number_argument.h"

namespace {

constexpr int kExitNoControl = 1;
constexpr int kExitUsage = 2;

constexpr const char* kUsage =
    "usage: barlynx-read [--page N] [--type M] [--degree D] [--exclusion H] [--bw-threshold T]\n"
    "                    [--export FILE] [--export2 FILE] [--images-path DIR] [--correct TEXT]\n"
    "                    [--adaptive] FILE\n";

// The one option without a value: the control's Adaptive property.
constexpr std::string_view kAdaptiveOption = "--adaptive";

struct Arguments {
    long page = 1;
    long type = 2047;
    long degree = 0;
    long exclusion = 100;
    long bw_threshold = 128;
    bool adaptive = false;
    std::optional<std::string> export_file;
    std::optional<std::string> export_file2;
    std::optional<std::string> images_path;
    std::optional<std::string> correct;
    std::optional<std::string> file;
};

struct NumberOption {
    std::string_view name;
    long Arguments::*field;
    long min;
    long max;
};

struct TextOption {
    std::string_view name;
    std::optional<std::string> Arguments::*field;
};

constexpr NumberOption kNumberOptions[] = {
    {"--page", &Arguments::page, 1, INT16_MAX},
    {"--type", &Arguments::type, 0, UINT16_MAX},
    {"--degree", &Arguments::degree, INT16_MIN, INT16_MAX},
    {"--exclusion", &Arguments::exclusion, INT32_MIN, INT32_MAX},
    {"--bw-threshold", &Arguments::bw_threshold, INT32_MIN, INT32_MAX},
};

constexpr TextOption kTextOptions[] = {
    {"--export", &Arguments::export_file},
    {"--export2", &Arguments::export_file2},
    {"--images-path", &Arguments::images_path},
    {"--correct", &Arguments::correct},
};

bool Usage(const std::string& problem) {
    std::fprintf(stderr, "barlynx-read: %s\n%s", problem.c_str(), kUsage);
    return false;
}

bool ParseNumber(const NumberOption& option, const std::string& text, Arguments& args) {
    if (!pixdoc::tools::ParseNumber(text.c_str(), 0, option.min, option.max, args.*(option.field)))
        return Usage(std::string(option.name) + ": not a number from " +
                     std::to_string(option.min) + " to " + std::to_string(option.max) + ": " +
                     text);
    return true;
}

// Takes "--name VALUE" or "--name=VALUE" at argv[i].
bool ParseOption(int argc, char** argv, int& i, Arguments& args) {
    const std::string_view arg = argv[i];
    if (arg == kAdaptiveOption) {
        args.adaptive = true;
        return true;
    }
    const size_t equals = arg.find('=');
    const std::string_view name = arg.substr(0, equals);
    std::optional<std::string> value;
    if (equals != std::string_view::npos)
        value = std::string(arg.substr(equals + 1));
    else if (i + 1 < argc)
        value = argv[++i];
    for (const NumberOption& option : kNumberOptions)
        if (name == option.name)
            return value ? ParseNumber(option, *value, args)
                         : Usage("incomplete option " + std::string(arg));
    for (const TextOption& option : kTextOptions) {
        if (name != option.name) continue;
        if (!value) return Usage("incomplete option " + std::string(arg));
        args.*(option.field) = *value;
        return true;
    }
    return Usage("unknown option " + std::string(arg));
}

bool ParseArguments(int argc, char** argv, Arguments& args) {
    bool options_ended = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (!options_ended && arg == "--") {
            options_ended = true;
        } else if (!options_ended && arg.size() > 2 && arg.substr(0, 2) == "--") {
            if (!ParseOption(argc, argv, i, args)) return false;
        } else if (args.file) {
            return Usage("one file only");
        } else {
            args.file = std::string(arg);
        }
    }
    return args.file ? true : Usage("no file given");
}

class StderrMessages : public barlynx::MessageHost {
public:
    void ShowMessage(std::string_view text) override {
        std::fprintf(stderr, "message: %s\n", pixdoc::tools::EscapedText(text).c_str());
    }
};

class AnsweringDialog : public barlynx::CorrectionDialog {
public:
    explicit AnsweringDialog(std::optional<std::string> answer) : answer_(std::move(answer)) {}
    std::optional<std::string> Correct(const barlynx::CorrectionRequest&) override {
        return answer_;
    }

private:
    std::optional<std::string> answer_;
};

std::optional<std::string_view> ViewOf(const std::optional<std::string>& text) {
    return text ? std::optional<std::string_view>(*text) : std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
    Arguments args;
    if (!ParseArguments(argc, argv, args)) return kExitUsage;
    if (!pixdoc::tools::CheckFileArgument("barlynx-read", args.file->c_str()))
        return pixdoc::tools::kExitRefusedName;

    barlynx::IBarlynx* control = BarlynxCreateInstance(std::string(barlynx::kProgId).c_str());
    if (!control) {
        std::fprintf(stderr, "barlynx-read: cannot create the control: %s\n", BarlynxLoadError());
        return kExitNoControl;
    }
    StderrMessages messages;
    AnsweringDialog dialog(args.correct);
    control->SetHost(&messages, &dialog);
    control->SetProperty(barlynx::DispId::kExclusionHeight, static_cast<int32_t>(args.exclusion));
    control->SetProperty(barlynx::DispId::kDegree, static_cast<int16_t>(args.degree));
    control->SetProperty(barlynx::DispId::kBWThreshold, static_cast<int32_t>(args.bw_threshold));
    control->SetProperty(barlynx::DispId::kAdaptive, args.adaptive);

    int32_t error = 0;
    const std::string result = control->GetAllBarCode(
        *args.file, static_cast<int16_t>(static_cast<uint16_t>(args.type)),
        ViewOf(args.export_file), ViewOf(args.export_file2), args.images_path.value_or(""), error,
        static_cast<int16_t>(args.page));
    control->Release();
    std::printf("%s\t%d\t%s\n", args.file->c_str(), error,
                pixdoc::tools::EscapedText(result).c_str());
    return EXIT_SUCCESS;
}
