#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <algorithm>

// Every sentence that Hostdeck shows the user, in one place, so that they can be read at once,
// worded alike, and translated from here. "{1}", "{2}", ... stand for what the code fills in
// with fill(); the comment above each text says what. The window's captions are in its layout
// table (form/FormLayout.h).
namespace hostdeck::texts {

// Whether the placeholders of `text` ("{1}" to "{9}") are filled by `count` values: none is
// above `count`, and "{<count>}" is among them, so that no value is passed in vain.
constexpr bool fillsExactly(std::wstring_view text, std::size_t count) {
    std::size_t highest = 0;
    for (std::size_t i = 0; i + 2 < text.size(); ++i) {
        if (text[i] == L'{' && text[i + 2] == L'}' && text[i + 1] >= L'1' && text[i + 1] <= L'9')
            highest = std::max<std::size_t>(highest, static_cast<std::size_t>(text[i + 1] - L'0'));
    }
    return highest == count;
}

// A text of the table with `Count` placeholders. A text whose placeholders do not match its
// count does not compile, nor does a fill() with another number of values: so no placeholder
// is ever left in what the user reads.
template <std::size_t Count>
struct Text : std::wstring_view {
    consteval Text(const wchar_t* text) : std::wstring_view(text) {
        if (!fillsExactly(*this, Count)) throw "the text's placeholders do not match its count";
    }
};

// Each "{n}" of `text` replaced by the nth value; "{" and "}" otherwise stay as they are, and
// a value is never read for placeholders itself.
std::wstring fillValues(std::wstring_view text, const std::wstring_view* values, std::size_t count);
template <std::size_t Count>
std::wstring fill(const Text<Count>& text, const std::wstring_view (&values)[Count]) {
    return fillValues(text, values, Count);
}

// A message that fits a message box on the smallest screen, whatever the input. A box wraps a
// line into rows of `rowChars` characters at least; a line longer than kMostRowsALine rows is cut
// in its middle, where "..." stands for what was left out; of more than `mostRows` rows, the first
// lines are kept and the last row says how many more there were.
inline constexpr std::size_t kRowChars = 70, kMostRows = 30, kMostRowsALine = 6;
// The last row of a message cut short. {1}: how many lines were left out.
inline constexpr Text<1> kMoreMessageLines = L"\n... ({1} more lines not shown)";
std::wstring fitted(std::wstring_view text, std::size_t rowChars = kRowChars,
                    std::size_t mostRows = kMostRows);
// `text` cut in its middle to `most` characters, "..." among them, where it is longer.
std::wstring shortened(std::wstring_view text, std::size_t most);

// A whole number in decimal digits, for the texts: without the C library's formatting, which
// would bring its floating-point printing into the program.
template <typename Int>
std::wstring number(Int value) {
    const bool negative = value < 0;
    auto magnitude = static_cast<unsigned long long>(value);
    if (negative) magnitude = 0 - magnitude;
    std::wstring digits;
    do {
        digits.insert(digits.begin(), static_cast<wchar_t>(L'0' + magnitude % 10));
        magnitude /= 10;
    } while (magnitude > 0);
    if (negative) digits.insert(digits.begin(), L'-');
    return digits;
}

inline constexpr Text<0> kCaption = L"Hostdeck";  // of every message box

// ---- Files. {1}: the path; {2}: the system's reason.
inline constexpr Text<2> kCouldNotOpen = L"Could not open \"{1}\": {2}";
inline constexpr Text<2> kCouldNotRead = L"Could not read \"{1}\": {2}";
inline constexpr Text<2> kCouldNotWrite = L"Could not write \"{1}\": {2}";
inline constexpr Text<2> kCouldNotSave = L"Could not save \"{1}\": {2}";
inline constexpr Text<2> kCouldNotCreate = L"Could not create \"{1}\": {2}";
inline constexpr Text<2> kCouldNotReplace = L"Could not replace \"{1}\": {2}";
// {1}: the path.
inline constexpr Text<1> kAnotherSaverAtWork = L"Another Hostdeck is saving \"{1}\".";
// {1}: the system's own message; {2}: its error code.
inline constexpr Text<2> kSystemMessage = L"{1} (error {2})";
inline constexpr Text<2> kSystemError = L"error {2}";  // where it has no message
// {2}: the system's reason, where no path goes with it.
inline constexpr Text<2> kSystemReasonAlone = L"{2}";

// ---- What the list file cannot hold. {1}: the field (below); {2}: the character's position.
inline constexpr Text<0> kTheNickname = L"The nickname";
inline constexpr Text<0> kTheAddress = L"The address";
inline constexpr Text<0> kThePort = L"The port";
inline constexpr Text<0> kBeginsWithComment =
    L"The nickname begins with \";\". A line that begins with \";\" is a comment in the list "
    L"file, so this server would be skipped the next time Hostdeck starts.";
inline constexpr Text<2> kHoldsLineBreak =
    L"{1} holds a line break (character {2}). Each server is one line of the list file, so the "
    L"entry would be split in two.";
inline constexpr Text<2> kHoldsSeparator =
    L"{1} holds \"#\" (character {2}). \"#\" separates the nickname, the address and the port in "
    L"the list file, so the fields would be split differently the next time Hostdeck starts. "
    L"Only the address may hold \"#\".";
// {3}: the code of the half character, such as D800.
inline constexpr Text<3> kHoldsHalfCharacter =
    L"{1} holds half of a character (U+{3}) (character {2}), which no file can hold.";
inline constexpr Text<2> kWouldNotReadBack =
    L"{1} would not read back as it stands (character {2}): in the list file, the text there "
    L"merges with a character that Hostdeck kept from the file as it was. Delete that "
    L"character, or the text next to it.";
// {1}: the character; {2}: the server's number in the list; {3}: its nickname.
inline constexpr Text<3> kCannotSwitchToUtf8 =
    L"\"{1}\" cannot be written in the list file's code page, so the file would have to be "
    L"saved in UTF-8. But server {2}, \"{3}\", holds bytes that Hostdeck kept from the file as "
    L"they were, and in UTF-8 they would read as another character. Leave out \"{1}\", or "
    L"delete or correct that server first.";
// {2}: the field, as kTheNickname.
inline constexpr Text<2> kEntryCannotSwitchToUtf8 =
    L"\"{1}\" cannot be written in the list file's code page, so the file would have to be "
    L"saved in UTF-8. {2} of this server holds bytes that Hostdeck kept from the file as they "
    L"were, and in UTF-8 they would read as another character. Leave out \"{1}\", or correct "
    L"those bytes first.";

// ---- Reading and saving the list. {1}: the list file's path.
inline constexpr Text<1> kTooLargeForMemory =
    L"\"{1}\" is too large for Hostdeck to read into memory.";
inline constexpr Text<0> kNoMemoryToRead = L"There is not enough memory to read it.";
inline constexpr Text<1> kCannotStoreSoItReadsBack =
    L"The list cannot be stored in \"{1}\" so that it reads back as it stands: characters that "
    L"Hostdeck kept from the file as they were would read as others next to text that the "
    L"file's encoding lacks. Change the servers that hold either.";
inline constexpr Text<1> kNotSavedUnreadAtStart =
    L"The list was not saved: \"{1}\" could not be read at start, and saving now would "
    L"overwrite it. The file was left as it was.";
inline constexpr Text<1> kCouldNotCreateCopy = L"Could not create {1}";

// ---- What the window says and asks about the list. {1}: the list file's path; {2}: a
// reason, as above.
inline constexpr Text<2> kListUnread =
    L"The server list could not be read.\n\n{2}\n\nHostdeck will not overwrite it when it "
    L"closes.";
// {2}: the copies, one a line.
inline constexpr Text<2> kCopiesKept =
    L"Hostdeck could not save its list to the list file earlier, and kept it here instead:\n{2}"
    L"\n\nEach copy says at its top why. Take over from it what you need (it can also replace {1} "
    L"as it is), then delete it. Hostdeck reminds you of it at each start while it is there.";
// {2}: how many more; {3}: the user folder.
inline constexpr Text<3> kMoreCopies =
    L"... and {2} more copies, named in the same way, beside the list file or in {3}";
inline constexpr Text<2> kEntryOutCannotGoBack =
    L"The server you took out with Edit Server has not been added back, and the list file "
    L"cannot hold it as it stands:\n\n{2}\n\nDiscard it? Choose No to go back and correct it.";
inline constexpr Text<1> kChangedOnDisk =
    L"The server list file has been changed by another program, or another Hostdeck window, "
    L"since Hostdeck read it:\n{1}";
inline constexpr Text<2> kUnreadableOnDisk =
    L"Hostdeck cannot read the server list file now to see whether another program changed it "
    L"since Hostdeck read it:\n{1}\n\n{2}";
inline constexpr Text<0> kReplaceIt =
    L"\n\nReplace it with the list in this window?\n\n"
    L"Yes replaces the file; what the other program wrote there is lost.\n"
    L"No keeps the file as it is; the changes made in this window are lost.\n"
    L"Cancel goes back to the window.";
inline constexpr Text<2> kSaveFailed =
    L"The server list could not be saved to\n{1}\n\n{2}\n\nTry Again tries once more.\n"
    L"Continue closes Hostdeck and keeps the list of this window in a copy, beside the list "
    L"file or in your own folder, and says where.\n"
    L"Cancel goes back to the window; nothing is lost.";
inline constexpr Text<1> kWaitingForOtherSaver =
    L"Another Hostdeck window is saving the server list file:\n{1}\n\nHostdeck saves this "
    L"window's list as soon as it has finished.\n\nRetry looks again now. Cancel goes back to "
    L"the window; nothing is lost.";
// {2}: how many servers the window holds.
inline constexpr Text<2> kReadableNow =
    L"The server list file could not be read when Hostdeck started, so this window shows only "
    L"the servers added since. It can be read now:\n{1}\n\nAdd the {2} servers of this window "
    L"to it?\n\n"
    L"Yes adds them after the file's own servers, which stay as they are.\n"
    L"No keeps the file as it is; the servers of this window are lost.\n"
    L"Cancel goes back to the window.";
// After kReadableNow. {1}: how many; {2}: each as kServerNamed, and kAndMoreServers.
inline constexpr Text<2> kRepeatsLeftOut =
    L"\n\nYes leaves out {1} of them, as the file has servers with the same address and "
    L"port:{2}";
// {1}: a nickname; {2}: "address:port".
inline constexpr Text<2> kServerNamed = L"\n\"{1}\" {2}";
inline constexpr Text<2> kGoneNow =
    L"The server list file could not be read when Hostdeck started, so this window shows only "
    L"the servers added since. The file is gone now:\n{1}\n\nWrite a new list file with the {2} "
    L"servers of this window?\n\n"
    L"Yes writes the new file with the servers of this window.\n"
    L"No closes without writing it; the servers of this window are lost.\n"
    L"Cancel goes back to the window.";
inline constexpr Text<0> kChangedWhileSaving =
    L"Another program changed the file while Hostdeck saved it.";
// {3}: the copy's path.
inline constexpr Text<3> kKeptInCopy =
    L"The list of this window was not saved to\n{1}\n\nIt is kept in this copy:\n{3}\n\nTake "
    L"over from it what you need, then delete it. Hostdeck reminds you of it at each start "
    L"while it is there.";
inline constexpr Text<2> kNoCopyEither =
    L"Hostdeck could not keep a copy of the list either:\n{2}\n\nClose without saving? Yes "
    L"discards the changes made in this window. No goes back to the window.";

// At the end of the Windows session, when the list could be neither saved nor kept in a copy.
// {2}: why the list file was not saved; {3}: why no copy could be kept (below).
inline constexpr Text<3> kNotKeptAtEnd =
    L"Windows is ending, but Hostdeck could neither save the server list to\n{1}\nnor keep a "
    L"copy of it.\n\n{2}\n{3}\n\nHostdeck has asked Windows to wait, and the list is still in "
    L"this window. Make room on the disk or make the folder writable, then close Hostdeck; or "
    L"cancel the end of Windows and go on.";
// {1}: the list's folder; {2}: why not there; {3}: the user folder; {4}: why not there either.
inline constexpr Text<4> kNoCopyAnywhere =
    L"A copy beside the list file, in {1}: {2}\nA copy in {3}: {4}";
// Shown by Windows beside the program while it waits.
inline constexpr Text<0> kListNotKept = L"The server list is not saved yet.";

// ---- At the top of a copy of the list, and why it was kept. {2}: a reason.
inline constexpr Text<0> kKeptAtEnd =
    L"Hostdeck kept this copy of its server list when Windows ended.";
inline constexpr Text<0> kKeptAtClose =
    L"Hostdeck kept this copy of its server list when it closed without saving it.";
inline constexpr Text<2> kCopyBecauseNotSaved = L"It could not be saved: {2}";
// {2}: the reason; {3}, {4}, {5}: the nickname, address and port in the fields.
inline constexpr Text<5> kCopyBecauseEntryOut =
    L"A server taken out with Edit Server could not go back into the list as it stood: {2}\n"
    L"Its fields were:\nServer Nickname: {3}\nServer IP: {4}\nPort: {5}";
inline constexpr Text<0> kCopyBecauseChanged =
    L"The list file had been changed by another program since Hostdeck read it, so it was left "
    L"as it was.";
inline constexpr Text<2> kCopyBecauseUnreadable =
    L"The list file could not be read to see whether another program had changed it, so it was "
    L"left as it was: {2}";
inline constexpr Text<0> kCopyBecauseChangedWhileSaving =
    L"Another program changed the list file while Hostdeck saved it, so it was left as it was.";
inline constexpr Text<0> kCopyBecauseOtherSaver =
    L"Another Hostdeck window was still saving the list file.";
inline constexpr Text<2> kCopyBecauseSaveFailed = L"The list file could not be saved: {2}";

// ---- Adding a server. {1}: why not, as above.
inline constexpr Text<1> kNotAdded = L"The server was not added.\n\n{1}";

// ---- Starting the game. {1}: the registry value's name; {2}: its key below
// HKEY_LOCAL_MACHINE.
inline constexpr Text<2> kGameNotFound =
    L"The game's install folder was not found.\n\nHostdeck looks for it in the registry value "
    L"\"{1}\" under\nHKEY_LOCAL_MACHINE\\{2}\n\nIs the game installed?";
// {1}: the game's executable; {2}: the system's reason.
inline constexpr Text<2> kGameNotStarted = L"The game could not be started.\n\n{1}\n\n{2}";

// ---- Starting a server from the desktop. {1}: the nickname; {2}: why the list is unread.
inline constexpr Text<1> kNoServerNamed =
    L"Hostdeck was asked to start \"{1}\", but no server in the list has that nickname, and it "
    L"is no address and port.\n\nHostdeck takes a nickname (in quotes when it holds blanks), or "
    L"an address and port (10.0.0.5:27015, [::1]:27015), or -s and those, as a shortcut has.";
// {1}: what followed the program's name.
inline constexpr Text<1> kTooManyArguments =
    L"Hostdeck was asked to start \"{1}\", but it starts one server: a nickname that holds "
    L"blanks goes in quotes (hostdeck.exe \"My Home\"). No server was started.";
// {1}: a nickname; {2}: "address:port".
inline constexpr Text<2> kServerOfNickname = L"\n{1}: {2}";
// After the first few servers of one nickname. {1}: how many more.
inline constexpr Text<1> kAndMoreServers = L"\n... and {1} more";
// {2}: how many; {3}: each one's nickname and "address:port", one a line.
inline constexpr Text<3> kSeveralServersNamed =
    L"Hostdeck was asked to start the server \"{1}\", but {2} servers in the list have that "
    L"nickname:{3}\n\nStart the one you mean from the list, or give it a desktop shortcut of "
    L"its own.";
inline constexpr Text<2> kListUnreadForStart =
    L"Hostdeck was asked to start the server \"{1}\", but the server list could not be "
    L"read.\n\n{2}";
// {1}: the shortcut's path.
// {2}: what the shortcut there starts (one of the two texts below).
inline constexpr Text<2> kShortcutExists =
    L"There is already a shortcut of that name on the desktop:\n{1}\n\nIt starts {2}.\n\n"
    L"Replace it?";
// {1}: "address:port".
inline constexpr Text<1> kShortcutStartsServer = L"the server {1}";
inline constexpr Text<0> kShortcutStartsOther = L"something other than a server";
// {1}: the shortcut's path; {2}: the system's reason.
inline constexpr Text<2> kShortcutNotCreated = L"The shortcut could not be created:\n{1}\n\n{2}";

// ---- The list's menu, and what its keys and items say. An "&" marks the access key.
inline constexpr Text<0> kMenuStart = L"&Start";
inline constexpr Text<0> kMenuCopyAddress = L"&Copy address";
inline constexpr Text<0> kMenuCreateShortcut = L"Create &desktop shortcut";
inline constexpr Text<0> kMenuUndoDelete = L"&Undo delete";
inline constexpr Text<0> kMenuMoveUp = L"Move u&p";
inline constexpr Text<0> kMenuMoveDown = L"Move dow&n";
inline constexpr Text<0> kMenuUndoImport = L"&Undo import";
inline constexpr Text<0> kMenuPasteServers = L"P&aste servers";
inline constexpr Text<0> kMenuImportServers = L"&Import servers...";
inline constexpr Text<0> kMenuExportServers = L"&Export servers...";
// {1}: why, as the system says it.
inline constexpr Text<1> kNotCopied = L"The address was not copied to the clipboard.\n\n{1}";
inline constexpr Text<0> kNoDesktopFolder =
    L"The shortcut was not created: Windows does not say where your desktop folder is.";
// {1}: the server's number in the list; {2}: its nickname; {3}: "address:port".
inline constexpr Text<3> kAlreadyInList =
    L"Server {1}, \"{2}\", has the same address and port already: {3}.\n\nAdd this server "
    L"anyway?";
// {1}: why.
inline constexpr Text<1> kNotPutBack = L"The deleted server was not put back.\n\n{1}";

// ---- Servers brought in from elsewhere: a paste on the list, a file opened or dropped.
// The Open dialog's title and its filter: pairs of a name and its patterns, each ending in NUL.
inline constexpr Text<0> kImportTitle = L"Import servers";
inline constexpr wchar_t kImportFilter[] =
    L"Server lists (*.ini; *.txt)\0*.ini;*.txt\0All files (*.*)\0*.*\0";
// {1}: a line's number.
inline constexpr Text<1> kImportLine = L"line {1}";
// {1}: a file's path; {2}: where in it, as kImportLine.
inline constexpr Text<2> kImportLineOfFile = L"{1}, {2}";
// Between the places of lines named one after another.
inline constexpr Text<0> kImportLinesBetween = L"; ";
// {1}: where, as kImportLine or kImportLineOfFile; {2}: why the list file could not hold it.
inline constexpr Text<2> kImportCannotHoldServer = L"\n{1}: {2}";
// {1}: where ("line 3"); {2}: its nickname; {3}: "address:port".
inline constexpr Text<3> kImportServerNamed = L"\n{1}: \"{2}\" {3}";
// After the first few lines. {1}: how many more.
inline constexpr Text<1> kAndMoreLines = L" and {1} more";
// {1}: how many; {2}: the first few, each as kImportServerNamed (a line of its own).
inline constexpr Text<2> kImportRepeated =
    L"{1} of the servers to import have the address and port of a server in the list, or of "
    L"one before them in what you import:{2}\n\nAdd them too? No leaves them out; Cancel "
    L"imports nothing.";
// {1}: how many.
inline constexpr Text<1> kImportAdded = L"Servers added to the end of the list: {1}.";
inline constexpr Text<1> kImportLeftOut = L"\nLeft out, as the list has them already: {1}.";
inline constexpr Text<1> kImportLeftOutRepeats =
    L"\nLeft out, as they came before in what you imported: {1}.";
inline constexpr Text<0> kImportCannotHold =
    L"\n\nNot imported, as the list file could not hold them as they stand:";
// {1}: the lines, as kImportLine, with the file's path where there are files.
inline constexpr Text<1> kImportNotServers =
    L"\n\nSkipped, as they are no server (address:port, or nickname#address#port): {1}.";
// {1}: the file (or empty for the clipboard); {2}: why it was not read.
inline constexpr Text<2> kImportSourceRefused = L"\n\nNot imported: {1}\n{2}";
inline constexpr Text<0> kImportNotText =
    L"It is not a server list: it holds bytes that are no text.";
inline constexpr Text<0> kImportNoSuchFile = L"There is no such file.";
// After the first few files that were not imported. {1}: how many more.
inline constexpr Text<1> kImportMoreRefused = L"\n\n... and {1} more files not imported.";
inline constexpr Text<0> kImportNoMemory =
    L"Nothing was imported: there was not enough memory to read it all. Your list is as it was.";
inline constexpr Text<0> kClipboardEmpty =
    L"Nothing was imported: the clipboard holds neither text nor files.";
inline constexpr Text<0> kImportKeptBytes =
    L"It holds bytes that are no text in its file's encoding.";
inline constexpr Text<0> kImportNoServer =
    L"It holds no server: no line is an address and port (1.2.3.4:27015) or "
    L"nickname#address#port.";
inline constexpr Text<0> kImportTooLarge =
    L"It is larger than 64 MB, too large to be a server list, and was not read.";
// {1}: how many the list would hold; {2}: the most the window shows; {3}: how many fit.
inline constexpr Text<3> kImportTooMany =
    L"Nothing was imported: the list would then hold {1} servers, and the window shows {2} at "
    L"most. {3} more fit.";
// {1}: how many servers were read; {2}: the most the window shows.
inline constexpr Text<2> kImportFarTooMany =
    L"Nothing was imported: what you import holds {1} servers, and the window shows {2} at most.";
inline constexpr Text<0> kImportListChanged =
    L"Nothing was imported: the list changed while you were asked.";
// ---- The list's servers written to a file the user chose.
inline constexpr Text<0> kExportTitle = L"Export servers";
inline constexpr wchar_t kExportFilter[] = L"Text files (*.txt)\0*.txt\0All files (*.*)\0*.*\0";
inline constexpr Text<0> kExportFileName = L"servers.txt";  // offered in the Save dialog
inline constexpr Text<0> kExportExtension = L"txt";         // added to a name without one
// {1}: how many; {2}: the file.
inline constexpr Text<2> kExported = L"{1} servers were written to\n{2}";
// {1}: how many; {2}: the first few, each as kServerNamed, and kAndMoreServers.
inline constexpr Text<2> kExportNotAsTheyAre =
    L"\n\nAn import of this file will not give back {1} of them as they are: it skips an "
    L"address and port that are no server, names a server without a nickname by its address "
    L"and port, and drops blanks around a nickname; bytes that are no text were written as "
    L"\uFFFD.{2}";
// {1}: the file chosen.
inline constexpr Text<1> kExportIsListFile =
    L"This is the server list file itself:\n{1}\n\nHostdeck saves the list there when it "
    L"closes. Nothing was written.\n\nChoose another place?";
// {1}: the file chosen; {2}: why it could not be written.
inline constexpr Text<2> kExportFailed =
    L"The servers could not be written to\n{1}\n\n{2}\n\nA file that was there is as it "
    L"was.\n\nChoose another place?";
// {1}: the file.
inline constexpr Text<1> kImportReading = L"Reading {1}\n\nCancel imports nothing.";
inline constexpr Text<0> kImportReadingClipboard =
    L"Reading the servers on the clipboard\n\nCancel imports nothing.";

}  // namespace hostdeck::texts
