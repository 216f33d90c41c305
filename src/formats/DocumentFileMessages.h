#pragma once
// The texts the open and save workflow shows, word for word as users and
// translators know them. "%s" is a full file name unless said otherwise.

namespace quillane {

inline constexpr const char* MsgFileInUseMakeCopy = "File \"%s\" is used by another program. Make a copy?";
inline constexpr const char* MsgErrorMakingCopy = "Error making a copy of file \"%s\"";
inline constexpr const char* MsgCannotOpenFile = "Cannot open file \"%s\"";
inline constexpr const char* MsgFileInUse = "File \"%s\" is used by another program";
inline constexpr const char* MsgEditedByAnother =
    "Document \"%s\" has been edited by another application. Saving will discard all changes made to that "
    "document by the other application. Save document?";
inline constexpr const char* MsgOpenedReadOnly = "Document \"%s\" was opened as read-only";
inline constexpr const char* MsgCannotOverwriteOpen =
    "You cannot overwrite open documents. A document with same name (\"%s\") is already open from the same "
    "folder. You can either save the present document to a different name, or retain the same name for this "
    "second document by saving it to a different folder.";
inline constexpr const char* MsgCannotCreateFile = "Cannot create file \"%s\"";
inline constexpr const char* MsgErrorWritingFile = "Error writing file \"%s\"";
// The backup's name, the document's and the backup's again, without folders.
inline constexpr const char* MsgBackupFailed =
    "Error creating backup file (%s) for document \"%s\". Please, check whether file \"%s\" is not locked by "
    "another application and there is enough free space on the destination drive.";
inline constexpr const char* MsgFormatNotSavable =
    "This version of Quillane does not support saving documents in the \"%s\" format. Please choose another "
    "format.";
inline constexpr const char* MsgFormattingLost =
    "Document \"%s\" contains formatting which will be lost as a result of converting to format \"%s\". Press "
    "\"Yes\" to save document in format \"%s\". Press \"No\" to select another format.";
inline constexpr const char* MsgDataLosses =
    "Document \"%s\" probably was opened with some data losses (tables, footnotes etc.). These lost components "
    "will not be saved to file. Continue saving?";
inline constexpr const char* StatusLoading = "Loading document \"%s\" ...";
inline constexpr const char* StatusSaving = "Saving Document \"%s\" ...";

}  // namespace quillane
