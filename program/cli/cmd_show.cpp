// pmoor32 show DB MSGNUMBER: the header and text of one message.
#include <cstdio>
#include <string>

#include "cli/commands.h"
#include "common/date_pictures.h"
#include "common/globals.h"
#include "tables/access/open_close.h"
#include "tables/records/message_tables.h"

namespace pm::cli {

namespace {

std::string personName(ULONG id) {
    if (id == 0) return {};
    Person.clear();
    PER.PERSONID = id;
    if (Person.get(PER_PersonKey) != StorageStatus::Ok) return "(person " + std::to_string(id) + ")";
    std::string name = PER.FIRSTNAME.str();
    if (!name.empty() && !PER.LASTNAME.empty()) name += ' ';
    name += PER.LASTNAME.str();
    if (!PER.ADDRESS.empty()) name += " <" + PER.ADDRESS.str() + ">";
    return name;
}

const char* statusName(BYTE status) {
    return status == StatusKeep ? "Keep" : status == StatusDelete ? "Delete" : "Normal";
}

// Prints the mail header; false when there is no such mail.
bool printMail(ULONG number) {
    Mail.clear();
    MAI.MAILID = number;
    if (Mail.get(MAI_IdKey) != StorageStatus::Ok) return false;
    std::printf("Message:  %u\nDate:     %s %s\nFrom:     %s\nTo:       %s\nSubject:  %s\nStatus:   %s\n",
                MAI.MAILID, formatDate(MAI.DATE, "@D10-").c_str(), formatTime(MAI.TIME, "@T1").c_str(),
                personName(MAI.FROMID).c_str(), personName(MAI.TOID).c_str(), MAI.SUBJECT.str().c_str(),
                statusName(MAI.DUMMY));
    return true;
}

// Prints the forum or newsgroup header; false when there is no such message.
bool printMessage(ULONG number) {
    MsgNmbr.clear();
    MSG.MSGNUMBER = number;
    if (MsgNmbr.get(MSG_IdKey) != StorageStatus::Ok) return false;
    std::string section, heading;
    Sections.clear();
    SEC.SECSYSID = MSG.SECSYSID;
    if (Sections.get(SEC_SysIdKey) == StorageStatus::Ok) section = SEC.DESCRIPTION.str();
    Threads.clear();
    THR.THREADNUMBER = MSG.THREADNUMBER;
    if (Threads.get(THR_ThreadKey) == StorageStatus::Ok) heading = THR.HEADING.str();
    std::printf("Message:  %u\nDate:     %s\nSection:  %s\nFrom:     %s\nTo:       %s\nSubject:  %s\n",
                MSG.MSGNUMBER, formatDate(MSG.DATE, "@D10-").c_str(), section.c_str(),
                personName(MSG.FROMID).c_str(), personName(MSG.TOID).c_str(), heading.c_str());
    if (MSG.REFNUMBER) std::printf("Reply to: %u\n", MSG.REFNUMBER);
    std::printf("Status:   %s\n", statusName(MSG.DUMMY));
    return true;
}

}  // namespace

int commandShow(CommandContext& ctx) {
    ArgumentReader reader(ctx.args);
    const std::vector<std::string> args = reader.positionals();
    if (args.size() != 2) throw UsageError("show DB MSGNUMBER");
    ULONG number = 0;
    try {
        number = static_cast<ULONG>(std::stoul(args[1]));
    } catch (const std::exception&) {
        throw UsageError("show: \"" + args[1] + "\" is not a message number");
    }
    openInstallationForCommand(ctx);
    activateDatabaseArgument(args[0]);
    const bool mail = Mem.ForumType == TypeMail;
    if (mail) OP_CLOSE(OpenShared, {&Mail, &MsgText, &Person});
    else OP_CLOSE(OpenShared, {&MsgNmbr, &MsgText, &Person, &Sections, &Threads});
    const bool found = mail ? printMail(number) : printMessage(number);
    if (found) {
        MsgText.clear();
        TXT.MSGNUMBER = number;
        if (MsgText.get(TXT_IdKey) == StorageStatus::Ok) {
            std::string text = TXT.MsgText;
            // Stored lines end in CR LF; the terminal wants LF.
            std::string out;
            out.reserve(text.size());
            for (std::size_t i = 0; i < text.size(); ++i)
                if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out += text[i];
            std::printf("\n%s", out.c_str());
            if (!out.empty() && out.back() != '\n') std::printf("\n");
        }
    } else {
        std::fprintf(stderr, "pmoor32: %s holds no message %u\n", Mem.Description.c_str(), number);
    }
    if (mail) OP_CLOSE(ReleaseTable, {&Mail, &MsgText, &Person});
    else OP_CLOSE(ReleaseTable, {&MsgNmbr, &MsgText, &Person, &Sections, &Threads});
    return found ? ExitOk : ExitFailed;
}

}  // namespace pm::cli
