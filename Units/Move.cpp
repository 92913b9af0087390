#include "Units/Move.h"

IMPLEMENT_SERIAL(CMove, CObject, 1)

void CMove::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        m_version = 1;
        ar << m_version << m_first << m_second << m_third << m_fourth << m_flag << m_extra;
        return;
    }
    ar >> m_version >> m_first >> m_second >> m_third >> m_fourth >> m_flag;
    m_extra = 0;
    if (m_version == 1) ar >> m_extra;
}
