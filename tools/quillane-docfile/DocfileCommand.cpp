#include "DocfileCommand.h"

#include <chrono>
#include <deque>
#include <memory>
#include <optional>
#include <thread>

#include "formats/DocumentFiles.h"
#include "formats/DocumentPictureSink.h"
#include "model/Document.h"
#include "model/FontManager.h"
#include "model/StyleManager.h"
#include "model/TextStream.h"
#include "platform/CodePages.h"
#include "platform/File.h"
#include "platform/FontSystem.h"
#include "platform/MessageBox.h"

namespace quillane {

namespace {

const char* KindName(TMessageKind kind) {
    switch (kind) {
        case TMessageKind::Warning: return "warning";
        case TMessageKind::Error: return "error";
        case TMessageKind::Information: return "information";
        case TMessageKind::Confirmation: return "confirmation";
    }
    return "?";
}

const char* ButtonsName(TMessageButtons buttons) {
    switch (buttons) {
        case TMessageButtons::Ok: return "Ok";
        case TMessageButtons::OkCancel: return "OkCancel";
        case TMessageButtons::YesNo: return "YesNo";
        case TMessageButtons::YesNoCancel: return "YesNoCancel";
        case TMessageButtons::RetryCancel: return "RetryCancel";
        case TMessageButtons::YesNoCancelAll: return "YesNoCancelAll";
        case TMessageButtons::YesCancel: return "YesCancel";
        case TMessageButtons::AbortRetryIgnore: return "AbortRetryIgnore";
    }
    return "?";
}

const char* AnswerName(TMessageAnswer answer) {
    switch (answer) {
        case TMessageAnswer::Ok: return "Ok";
        case TMessageAnswer::Cancel: return "Cancel";
        case TMessageAnswer::Yes: return "Yes";
        case TMessageAnswer::No: return "No";
        case TMessageAnswer::Retry: return "Retry";
        case TMessageAnswer::YesToAll: return "YesToAll";
        case TMessageAnswer::NoToAll: return "NoToAll";
        case TMessageAnswer::Abort: return "Abort";
        case TMessageAnswer::Ignore: return "Ignore";
    }
    return "?";
}

std::optional<TMessageAnswer> ParseAnswer(const std::string& text) {
    for (const TMessageAnswer answer : {TMessageAnswer::Ok, TMessageAnswer::Cancel, TMessageAnswer::Yes,
                                        TMessageAnswer::No, TMessageAnswer::Retry}) {
        if (text == AnswerName(answer)) {
            return answer;
        }
    }
    return std::nullopt;
}

// Prints each message and answers from the script, then cautiously.
class TScriptedMessageBox final : public TMessageBox {
public:
    TScriptedMessageBox(std::ostream& out, std::deque<TMessageAnswer> answers)
        : out_(out), answers_(std::move(answers)) {}

    TMessageAnswer Show(const std::string& text, TMessageKind kind, TMessageButtons buttons) override {
        TMessageAnswer answer = CautiousAnswer(buttons);
        if (!answers_.empty()) {
            answer = answers_.front();
            answers_.pop_front();
        }
        out_ << "message: " << KindName(kind) << ' ' << ButtonsName(buttons) << ' ' << text << "\n"
             << "answer: " << AnswerName(answer) << std::endl;
        return answer;
    }

private:
    std::ostream& out_;
    std::deque<TMessageAnswer> answers_;
};

struct TChoice {
    std::string Name;
    int32_t Filter = 0;  // 0: keep the dialog's
};

// The dialogs answered from the command line.
class TScriptedHost final : public TDocFileHost {
public:
    TScriptedHost(std::ostream& out, std::deque<TChoice> choices) : out_(out), choices_(std::move(choices)) {}

    bool ChooseSaveName(const TDocument&, TSaveDialogRequest& request) override {
        out_ << "dialog: " << request.Title << " name=" << request.FileName << " filter=" << request.FilterIndex;
        if (choices_.empty()) {
            out_ << " -> cancel" << std::endl;
            return false;
        }
        const TChoice choice = choices_.front();
        choices_.pop_front();
        request.FileName = choice.Name;
        if (choice.Filter > 0) {
            request.FilterIndex = choice.Filter;
        }
        out_ << " -> " << request.FileName << " filter=" << request.FilterIndex << std::endl;
        return true;
    }

    void ChooseFirst(const TChoice& choice) { choices_.push_front(choice); }

private:
    std::ostream& out_;
    std::deque<TChoice> choices_;
};

TChoice ParseChoice(const std::string& text) {
    TChoice choice;
    const size_t colon = text.rfind(':');
    if (colon != std::string::npos && colon + 1 < text.size() &&
        text.find_first_not_of("0123456789", colon + 1) == std::string::npos) {
        choice.Name = text.substr(0, colon);
        choice.Filter = std::stoi(text.substr(colon + 1));
    } else {
        choice.Name = text;
    }
    return choice;
}

const char* ProbeName(const TFileOpenResult& result) {
    if (result.File) {
        return "OK";
    }
    switch (result.Error) {
        case TFileError::SharingViolation: return "SHARING";
        case TFileError::AccessDenied: return "DENIED";
        case TFileError::NotFound: return "MISSING";
        default: return "ERROR";
    }
}

int Probe(const std::string& file, std::ostream& out) {
    const TFileOpenResult rw = OpenFile(file, TFileMode::ReadWrite);
    const TFileOpenResult read = OpenFile(file, TFileMode::Read);
    out << "rw=" << ProbeName(rw) << " read=" << ProbeName(read) << std::endl;
    return 0;
}

struct TOpenCommand {
    TDocOpenRequest Request;
    std::deque<TMessageAnswer> Answers;
    std::deque<TChoice> Choices;
    TDocFileOptions Options;
    std::string Type;
    int HoldSeconds = 0;
    int PauseSeconds = 0;  // before the save, so a test can change the disk meanwhile
    std::string Then;  // "", "save", "save-as", "save-copy"
    std::string ThenName;
    int32_t ThenFilter = 0;
};

bool ParseOpen(const std::vector<std::string>& args, TOpenCommand& command, std::string& error) {
    if (args.size() < 2) {
        error = "open needs a file";
        return false;
    }
    command.Request.FileName = args[1];
    for (size_t i = 2; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        auto value = [&]() -> const std::string& { return args[++i]; };
        if (arg == "--read-only") {
            command.Request.ReadOnly = true;
        } else if (arg == "--copy-silently") {
            command.Request.CopySilently = true;
        } else if (arg == "--fail-silently") {
            command.Request.FailSilently = true;
        } else if (arg == "--format" && hasValue) {
            command.Request.Format = std::stoi(value());
        } else if (arg == "--answer" && hasValue) {
            const auto answer = ParseAnswer(value());
            if (!answer) {
                error = "unknown answer " + args[i];
                return false;
            }
            command.Answers.push_back(*answer);
        } else if (arg == "--choose" && hasValue) {
            command.Choices.push_back(ParseChoice(value()));
        } else if (arg == "--option" && hasValue) {
            const std::string& option = value();
            if (option == "CreateBackup=1" || option == "CreateBackup=0") {
                command.Options.CreateBackup = option.back() == '1';
            } else if (option == "UndoAfterSave=1" || option == "UndoAfterSave=0") {
                command.Options.UndoAfterSave = option.back() == '1';
            } else {
                error = "unknown option " + option;
                return false;
            }
        } else if (arg == "--type" && hasValue) {
            command.Type = value();
        } else if (arg == "--pause" && hasValue) {
            command.PauseSeconds = std::stoi(value());
        } else if (arg == "--hold" && hasValue) {
            command.HoldSeconds = std::stoi(value());
        } else if (arg == "--filter" && hasValue) {
            command.ThenFilter = std::stoi(value());
        } else if (arg == "--then" && hasValue) {
            command.Then = value();
            if (command.Then == "save-as" || command.Then == "save-copy") {
                if (i + 1 >= args.size()) {
                    error = command.Then + " needs a name";
                    return false;
                }
                command.ThenName = value();
            } else if (command.Then != "save") {
                error = "unknown step " + command.Then;
                return false;
            }
        } else {
            error = "unknown argument " + arg;
            return false;
        }
    }
    return true;
}

void Hold(int seconds, std::ostream& out) {
    if (seconds > 0) {
        out << "holding" << std::endl;
        std::this_thread::sleep_for(std::chrono::seconds(seconds));
    }
}

int Open(const TOpenCommand& command, std::ostream& out, std::ostream& err) {
    std::unique_ptr<TCodePageConverter> codePages;
    std::unique_ptr<TFontSystem> fonts;
    std::unique_ptr<TFontManager> fontManager;
    try {
        codePages = CreateCodePageConverter(437, 1252);
        fonts = CreateFontSystem();
        fontManager = std::make_unique<TFontManager>(*fonts);
    } catch (const std::exception& e) {
        err << "quillane-docfile: " << e.what() << "\n";
        return 1;
    }
    const TStyleManager styleManager(fontManager->ArialIndex());
    TDocumentPictureSink pictures;
    TScriptedMessageBox messages(out, command.Answers);
    const TFormatServices services{messages, *codePages, nullptr, fontManager.get(), &styleManager, &pictures};
    TScriptedHost host(out, command.Choices);
    TDocumentFiles files(services, command.Options, host);

    TDocument document(TModelDefaults::BuiltIn(fontManager->TimesNewRomanIndex()));
    TDocOpeningOptions loaded;
    if (!files.OpenDocument(document, command.Request, loaded)) {
        out << "open=failed" << std::endl;
        return 1;
    }
    out << "format=" << document.Format << " paragraphs=" << document.ParagraphCount()
        << " readonly=" << document.OpenedReadOnly << " copy=" << document.OpenedFromCopy
        << " locked=" << (document.LockHandle != nullptr) << std::endl;
    if (!command.Type.empty()) {
        // Typing, as far as saving can tell: a new last paragraph.
        TParagraph& typed = document.AddParagraph();
        typed.AppendChars(reinterpret_cast<const uint8_t*>(command.Type.data()),
                          static_cast<int32_t>(command.Type.size()));
        typed.AppendSpecial(spParagraphEnd);
        document.SetModified(true);
    }
    int32_t result = srSaved;
    if (!command.Then.empty()) {
        Hold(command.PauseSeconds, out);
        if (command.Then == "save") {
            result = files.SaveDocument(document);
        } else if (command.Then == "save-as") {
            // The dialog's first choice is the name given; --choose adds more.
            host.ChooseFirst({command.ThenName, command.ThenFilter});
            result = files.SaveDocumentAs(document, document.FileName, true);
        } else {
            result = files.SaveDocumentCopy(document, command.ThenName);
        }
        out << "result=" << result << " locked=" << (document.LockHandle != nullptr) << std::endl;
    }
    Hold(command.HoldSeconds, out);
    return result == srSaved ? 0 : 1;
}

}  // namespace

int RunDocfileCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const char* usage =
        "usage: quillane-docfile open FILE [options] [--then save|save-as NAME|save-copy NAME]\n"
        "       quillane-docfile probe FILE\n";
    if (args.empty()) {
        err << usage;
        return 2;
    }
    if (args[0] == "probe" && args.size() == 2) {
        return Probe(args[1], out);
    }
    if (args[0] != "open") {
        err << usage;
        return 2;
    }
    TOpenCommand command;
    std::string error;
    try {
        if (!ParseOpen(args, command, error)) {
            err << "quillane-docfile: " << error << "\n" << usage;
            return 2;
        }
    } catch (const std::exception&) {
        err << "quillane-docfile: a number was expected\n" << usage;
        return 2;
    }
    return Open(command, out, err);
}

}  // namespace quillane
