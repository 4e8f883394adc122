#include "mirror/mirror_state_file.h"

#include "platform/text_file.h"

namespace brisk {

namespace {

void addLine(std::string& text, std::string_view line)
{
    text += line;
    text += "\r\n";
}

} // namespace

std::string MirrorRecordLine(const TMirrorRec& rec)
{
    std::string line = rec.LocalName + '\t' + rec.RemoteName + '\t' + std::to_string(rec.LocalSize) + '\t' +
                       std::to_string(rec.RemoteSize) + '\t';
    line += MirrorOperationName(rec.Operation);
    line += '\t';
    line += MirrorStateName(rec.State);
    return line;
}

std::string FormatMirrorState(const MirrorStateHeader& header, const std::vector<TMirrorRec>& items)
{
    std::string text;
    for (const std::string* line : {&header.Host, &header.LocalRoot, &header.RemoteRoot, &header.LocalSub,
                                    &header.RemoteSub})
        addLine(text, *line);
    addLine(text, header.Stopped ? "Stopped" : "Ok");
    for (const TMirrorRec& rec : items)
        addLine(text, MirrorRecordLine(rec));
    return text;
}

bool WriteMirrorState(const std::string& path, const MirrorStateHeader& header, const std::vector<TMirrorRec>& items)
{
    return writePrivateFile(path, FormatMirrorState(header, items));
}

} // namespace brisk
