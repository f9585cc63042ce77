#include "Listing.h"

#include <cstdio>
#include <sstream>

namespace rc {

namespace {

std::string Hex(std::uint32_t v, int digits = 0)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%0*X", digits, v);
    return buf;
}

std::string Name(const ResourceName& name)
{
    return name.name.empty() ? std::to_string(name.id) : Listing::Quote(name.name);
}

void MenuLines(std::ostringstream& out, const std::vector<MenuNode>& items, int depth)
{
    for (const MenuNode& item : items) {
        out << std::string(2 * depth, ' ');
        if (item.flags & 0x10) {
            out << "popup " << Listing::Quote(item.text) << " flags " << Hex(item.flags) << "\n";
            MenuLines(out, item.children, depth + 1);
        } else if (item.flags & 0x800) {
            out << "separator\n";
        } else {
            out << "item " << Listing::Quote(item.text) << " id " << item.id << " flags " << Hex(item.flags) << "\n";
        }
    }
}

}  // namespace

std::string Listing::Quote(std::u16string_view text)
{
    std::string out = "\"";
    for (char16_t c : text) {
        switch (c) {
        case u'"': out += "\\\""; break;
        case u'\\': out += "\\\\"; break;
        case u'\n': out += "\\n"; break;
        case u'\t': out += "\\t"; break;
        case u'\r': out += "\\r"; break;
        default:
            if (c >= 0x20 && c < 0x7F) {
                out += static_cast<char>(c);
            } else {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04X", static_cast<unsigned>(c));
                out += buf;
            }
        }
    }
    return out + "\"";
}

std::string Listing::Write(const ResourceScript& script)
{
    std::ostringstream out;
    for (const StringEntry& s : script.strings)
        out << "string " << s.id << " lang " << s.lang << " " << Quote(s.text) << "\n";

    for (const MenuResource& m : script.menus) {
        out << "menu " << m.id << " lang " << m.lang << "\n";
        MenuLines(out, m.items, 1);
    }

    for (const AccelResource& a : script.accelerators) {
        out << "accelerators " << a.id << " lang " << a.lang << "\n";
        for (const AccelEntry& e : a.entries)
            out << "  key " << Hex(e.key, 2) << " cmd " << e.cmd << " flags " << Hex(e.flags, 2) << "\n";
    }

    for (const DialogResource& d : script.dialogs) {
        out << "dialog " << Name(d.name) << " lang " << d.lang << (d.extended ? " extended" : "") << " style "
            << Hex(d.style, 8) << " exstyle " << Hex(d.exStyle, 8) << " at " << d.x << "," << d.y << " size " << d.cx
            << "x" << d.cy << " caption " << Quote(d.caption) << " font " << d.pointSize << " " << Quote(d.fontFace);
        if (d.weight || d.italic || d.charset)
            out << " " << d.weight << " " << unsigned(d.italic) << " " << unsigned(d.charset);
        out << "\n";
        for (const ControlEntry& c : d.controls) {
            out << "  " << Quote(c.className) << " ";
            if (c.textId)
                out << "#" << c.textId;
            else
                out << Quote(c.text);
            out << " id " << c.id << " style " << Hex(c.style, 8) << " exstyle " << Hex(c.exStyle, 8) << " at " << c.x
                << "," << c.y << " size " << c.cx << "x" << c.cy << "\n";
        }
    }

    for (const ToolbarResource& t : script.toolbars) {
        out << "toolbar " << t.id << " lang " << t.lang << " size " << t.width << "x" << t.height << " items";
        for (std::uint16_t item : t.items)
            out << " " << item;
        out << "\n";
    }

    auto blobs = [&out](const std::vector<BlobResource>& list, const char* kind, bool showBytes) {
        for (const BlobResource& b : list) {
            out << kind << " " << b.id << " lang " << b.lang << " bytes " << b.bytes.size();
            if (showBytes) {
                out << ":";
                for (unsigned char c : b.bytes) {
                    char buf[4];
                    std::snprintf(buf, sizeof buf, "%02X", c);
                    out << " " << buf;
                }
            }
            out << "\n";
        }
    };
    blobs(script.bitmaps, "bitmap", false);
    blobs(script.icons, "icon", false);
    blobs(script.rcdata, "rcdata", true);

    for (const VersionResource& v : script.versions) {
        auto quad = [](const std::array<std::uint16_t, 4>& q) {
            return std::to_string(q[0]) + "." + std::to_string(q[1]) + "." + std::to_string(q[2]) + "."
                + std::to_string(q[3]);
        };
        out << "versioninfo " << v.id << " lang " << v.lang << " file " << quad(v.fileVersion) << " product "
            << quad(v.productVersion) << " flagsmask " << Hex(v.fileFlagsMask) << " flags " << Hex(v.fileFlags)
            << " os " << Hex(v.fileOS) << " type " << Hex(v.fileType) << " subtype " << Hex(v.fileSubtype) << "\n";
        for (const VersionBlock& block : v.stringTables)
            for (const auto& [key, value] : block.values)
                out << "  block " << Quote(block.name) << " " << Quote(key) << " = " << Quote(value) << "\n";
        for (const auto& [lang, codePage] : v.translations)
            out << "  translation " << Hex(lang, 4) << " " << codePage << "\n";
    }
    return out.str();
}

}  // namespace rc
