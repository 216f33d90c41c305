#pragma once
// Who wrote a document and what it is about: the fields of the document
// properties dialog and of the file's information block.

#include <string>

namespace quillane {

struct TDocumentProperties {
    std::string Title;
    std::string Subject;
    std::string Author;
    std::string Keywords;
    std::string Comments;
};

struct TDocumentInfo {
    std::string Operator;  // the user who last edited
    std::string Company;
    double CreationTime = 0;  // a date-time value; 0 when none was recorded
    TDocumentProperties Properties;
};

}  // namespace quillane
