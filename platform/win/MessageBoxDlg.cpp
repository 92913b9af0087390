#include "platform/win/MessageBoxDlg.h"

#include <cairo.h>

#include <algorithm>
#include <string>

namespace {
const int kMargin = 28;
const int kCaptionHeight = 34;
const int kLineHeight = 22;
const int kButtonWidth = 112;
const int kButtonHeight = 32;
const int kButtonGap = 18;
const int kMaxLineChars = 64;

// Splits at line breaks and wraps long lines at blanks.
std::vector<CString> WrapLines(const char* text) {
    std::vector<CString> lines;
    std::string all = text ? text : "";
    size_t start = 0;
    for (;;) {
        size_t end = all.find('\n', start);
        std::string line = all.substr(start, end == std::string::npos ? std::string::npos : end - start);
        while (line.size() > size_t(kMaxLineChars)) {
            size_t cut = line.rfind(' ', kMaxLineChars);
            if (cut == std::string::npos || cut == 0) cut = kMaxLineChars;
            lines.push_back(line.substr(0, cut).c_str());
            line = line.substr(cut + (line[cut] == ' ' ? 1 : 0));
        }
        lines.push_back(line.c_str());
        if (end == std::string::npos) break;
        start = end + 1;
    }
    while (lines.size() > 1 && lines.back().IsEmpty()) lines.pop_back();
    return lines;
}

void Colour(cairo_t* cr, unsigned rgb, double alpha = 1.0) {
    cairo_set_source_rgba(cr, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0, alpha);
}

const unsigned kWashi = 0xF1E8D4, kFibre = 0xE3D6BA, kSumi = 0x1E1A17, kVermilion = 0xB8321F, kGold = 0xC9A24A;
}  // namespace

CMessageBoxDlg::CMessageBoxDlg(const char* text, const char* caption, UINT type)
    : CDialog(0, nullptr), m_text(text ? text : ""), m_caption(caption ? caption : "") {
    switch (type & 0xF) {
    case MB_OKCANCEL:
        m_labels = {"OK", "Cancel"};
        m_results = {IDOK, IDCANCEL};
        break;
    case MB_YESNO:
        m_labels = {"Yes", "No"};
        m_results = {IDYES, IDNO};
        break;
    default:
        m_labels = {"OK"};
        m_results = {IDOK};
        break;
    }
    m_lines = WrapLines(m_text);
    size_t longest = 0;
    for (const CString& l : m_lines) longest = std::max(longest, size_t(l.GetLength()));
    int buttons = int(m_results.size());
    m_width = std::max({360, int(longest) * 9 + 2 * kMargin, buttons * kButtonWidth + (buttons - 1) * kButtonGap + 2 * kMargin});
    m_height = kCaptionHeight + kMargin + int(m_lines.size()) * kLineHeight + kMargin + kButtonHeight + kMargin;
}

CRect CMessageBoxDlg::GetButtonRect(int index) const {
    int buttons = int(m_results.size());
    int total = buttons * kButtonWidth + (buttons - 1) * kButtonGap;
    int x = (m_width - total) / 2 + index * (kButtonWidth + kButtonGap);
    int y = m_height - kMargin - kButtonHeight;
    return CRect(x, y, x + kButtonWidth, y + kButtonHeight);
}

BOOL CMessageBoxDlg::OnInitDialog() {
    int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    MoveWindow((sw - m_width) / 2, (sh - m_height) / 2, m_width, m_height, FALSE);
    Draw();
    PresentRects();
    return TRUE;
}

void CMessageBoxDlg::OnPaint() {
    CPaintDC dc(this);
    PresentRects();
}

void CMessageBoxDlg::OnOK() { EndDialog(m_results.front()); }
void CMessageBoxDlg::OnCancel() { EndDialog(m_results.back()); }

void CMessageBoxDlg::OnLButtonDown(UINT, CPoint point) {
    for (size_t i = 0; i < m_results.size(); ++i)
        if (GetButtonRect(int(i)).PtInRect(point)) EndDialog(m_results[i]);
}

void CMessageBoxDlg::Draw() {
    CPixelSurface& surface = GetSurface();
    if (surface.IsEmpty()) return;
    cairo_surface_t* target = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(surface.GetBits()),
                                                                  CAIRO_FORMAT_RGB24, surface.GetWidth(),
                                                                  surface.GetHeight(), surface.GetWidth() * 4);
    cairo_t* cr = cairo_create(target);
    double w = m_width, h = m_height;

    // Paper with a few fibres, an ink frame and a gold rule inside it.
    Colour(cr, kWashi);
    cairo_paint(cr);
    cairo_set_line_width(cr, 1);
    for (int i = 0; i < 40; ++i) {
        double y = (i * 37) % m_height + 0.5, x = (i * 91) % m_width;
        Colour(cr, kFibre, 0.7);
        cairo_move_to(cr, x, y);
        cairo_curve_to(cr, x + 20, y + 3, x + 40, y - 2, x + 60, y + 1);
        cairo_stroke(cr);
    }
    Colour(cr, kSumi);
    cairo_set_line_width(cr, 3);
    cairo_rectangle(cr, 1.5, 1.5, w - 3, h - 3);
    cairo_stroke(cr);
    Colour(cr, kGold);
    cairo_set_line_width(cr, 1);
    cairo_rectangle(cr, 6.5, 6.5, w - 13, h - 13);
    cairo_stroke(cr);

    // Caption on a vermilion band.
    Colour(cr, kVermilion);
    cairo_rectangle(cr, 7, 7, w - 14, kCaptionHeight - 7);
    cairo_fill(cr);
    cairo_select_font_face(cr, "DejaVu Serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, 15);
    Colour(cr, kWashi);
    cairo_move_to(cr, kMargin, 26);
    cairo_show_text(cr, m_caption);

    cairo_select_font_face(cr, "DejaVu Serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, 14);
    Colour(cr, kSumi);
    for (size_t i = 0; i < m_lines.size(); ++i) {
        cairo_move_to(cr, kMargin, kCaptionHeight + kMargin + 14 + double(i) * kLineHeight);
        cairo_show_text(cr, m_lines[i]);
    }

    cairo_select_font_face(cr, "DejaVu Serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    for (size_t i = 0; i < m_results.size(); ++i) {
        CRect r = GetButtonRect(int(i));
        Colour(cr, kSumi);
        cairo_rectangle(cr, r.left, r.top, r.Width(), r.Height());
        cairo_fill(cr);
        Colour(cr, kGold);
        cairo_rectangle(cr, r.left + 2.5, r.top + 2.5, r.Width() - 5, r.Height() - 5);
        cairo_stroke(cr);
        cairo_text_extents_t ext;
        cairo_text_extents(cr, m_labels[i], &ext);
        Colour(cr, kWashi);
        cairo_move_to(cr, r.left + (r.Width() - ext.x_advance) / 2, r.top + 21);
        cairo_show_text(cr, m_labels[i]);
    }
    cairo_destroy(cr);
    cairo_surface_flush(target);
    cairo_surface_destroy(target);
}

int AfxShowMessageBoxDialog(const char* text, const char* caption, UINT type) {
    CMessageBoxDlg box(text, caption, type);
    INT_PTR result = box.DoModal();
    return result < 0 ? box.GetButtons().back() : int(result);
}
