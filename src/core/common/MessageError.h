#pragma once

#include <stdexcept>
#include <string>

namespace zobl {

// The one exception type of the core. It carries the number of a user message (the text of
// key 6000 + number in section "Errors" of the language file) and the argument that the text
// shows in place of its "%", for example a file name. The GUI turns it into the numbered error
// dialog, the command-line tool into one line on standard error.
class MessageError : public std::runtime_error {
public:
    MessageError(int number, std::string argument, const std::string& detail = {});

    int Number() const noexcept { return number_; }
    const std::string& Argument() const noexcept { return argument_; }

private:
    int number_;
    std::string argument_;
};

// Message numbers used by more than one subsystem.
namespace message {
inline constexpr int kFileNotFound = 1;             // error 1: file named on the command line is missing
inline constexpr int kUnsupportedFormat = 2;        // error 2: file name, unknown format or version
inline constexpr int kCannotCreateFile = 3;         // error 3: path, file cannot be created
inline constexpr int kFileError = 4;                // error 4: path, read or write failed
inline constexpr int kQuestionOverwrite = 303;      // question 303: path, replace the existing file?
inline constexpr int kQuestionReplaceAuthor = 305;  // question 305: replace a filled-in author?
inline constexpr int kRowAlreadyPresent = 115;
inline constexpr int kRowNeedsRowBelow = 116;
inline constexpr int kRowsExclusive = 117;

// Question 310: path; opens what a damaged file gave as a new document without a file name?
inline constexpr int kQuestionOpenReadablePart = 310;
}  // namespace message

}  // namespace zobl
