#include "shell/ProfileProbe.h"

#include "platform/afx/Afx.h"
#include "world/PlayerRoster.h"

bool ReadProfileResolution(const char* name, int& setting) {
    CFile file;
    if (!file.Open(name, CFile::modeRead)) return false;
    // A damaged profile is no reason to refuse the start: it only means the
    // default resolution.
    try {
        CPlayerRoster roster;
        CArchive ar(&file, CArchive::load, 4096);
        roster.Serialize(ar);
        ar.Close();
        setting = roster.GraphicChoice;
        return true;
    } catch (const CException&) {
        return false;
    }
}
