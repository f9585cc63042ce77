#include "framework/host/PasteDecoder.h"

#include "framework/base/Utf16.h"

void PasteDecoder::Start()
{
    if (m_active)
        return;
    m_active = true;
    m_afterCr = false;
    m_first = true;
    m_text.clear();
}

void PasteDecoder::Take(char32_t c)
{
    bool afterCr = m_afterCr;
    m_afterCr = c == 0x0D;
    if (c == 0x0A && afterCr)
        return;
    if (c == 0x0D || c == 0x0A) {
        m_text += u'\r';
        return;
    }
    if (c == 0x09) {
        m_text += u'\t';
        return;
    }
    if (c < 0x20 || (c >= 0x7F && c < 0xA0) || Utf16::IsSurrogate(c) || c > 0x10FFFF)
        return;
    if (c <= 0xFFFF) {
        m_text += char16_t(c);
    } else {
        m_text += Utf16::HighOf(c);
        m_text += Utf16::LowOf(c);
    }
}

void PasteDecoder::Deliver(std::vector<InputEvent>& out)
{
    if (m_text.empty())
        return;
    InputEvent e;
    e.kind = InputEvent::Kind::Paste;
    e.text = std::move(m_text);
    e.first = m_first;
    m_text.clear();
    m_first = false;
    out.push_back(std::move(e));
}

void PasteDecoder::End(std::vector<InputEvent>& out)
{
    Deliver(out);
    m_active = false;
}
