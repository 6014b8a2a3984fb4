#pragma once
// The output settings of export and copy: the layout of each kind of
// database, the line width and the copy style; and the file names a set is
// written to.
#include <string>
#include <vector>

#include "sets/output_layouts.h"

namespace pm {

// Settings items of the output (Konfig).
enum OutputSettingItem : int {
    OutputLineWidthItem = 58,  // line width of re-wrapped text (0 = 78)
    OutputCopyStyleItem = 59,  // 1 = re-wrap texts to the line width
    OutputForumLayoutItem = 61,
    OutputMailLayoutItem = 62,
    OutputNewsLayoutItem = 63,
};

// The layouts offered for a database type: forum OzWin II or TAPCIS; mail
// Eudora, OzWin II, TAPCIS or Unix RFC822; newsgroup Unix RFC822 only.
std::vector<OutputLayout> offeredLayouts(BYTE databaseType);
bool layoutOffered(OutputLayout layout, BYTE databaseType);
// The configured layout of the type; one that is not offered reads as the
// default (TAPCIS for forum and mail, Unix RFC822 for newsgroups).
OutputLayout configuredLayout(BYTE databaseType);
// Stores the type's layout. False when it is not offered or the settings
// cannot be written.
bool setConfiguredLayout(BYTE databaseType, OutputLayout layout);
// The width and copy style of the settings.
OutputStyle configuredStyle();

// The first and second file of an export; the second is used only by the
// two-file layouts (received and sent mail apart).
struct OutputFiles {
    std::string first;
    std::string second;
};

// Whether the layout writes mail to two files: mail in any layout but TAPCIS.
bool twoFileLayout(BYTE databaseType, OutputLayout layout);
// The names a blank name stands for: forum and newsgroup "SaveMsg.Txt";
// mail in TAPCIS "SaveMail.Txt"; other mail "InBox.Mbx" and "OutBox.Mbx".
OutputFiles defaultOutputFiles(BYTE databaseType, OutputLayout layout);
// The names the export window offers when a layout is chosen (the database
// name `description` gives the OzWin II forum file).
OutputFiles offeredOutputFiles(BYTE databaseType, OutputLayout layout, const std::string& description);

// The names an export needs checked: a name carrying a directory is
// refused ("Filename error"), as are equal names of a two-file layout.
// Returns "" when fine, else the message; `caption` gets its title.
// Without `secondUsed` (sent mail goes into the first file) the second name
// is not looked at.
std::string checkOutputFiles(BYTE databaseType, OutputLayout layout, const OutputFiles& files, std::string& caption,
                             bool secondUsed = true);

}  // namespace pm
