#include "framework/res/Resources.h"

#include <algorithm>
#include <span>

namespace {

const res::Module* g_programModule = nullptr;

template <class T>
const T* FindById(std::span<const T> list, UINT id)
{
    auto it = std::lower_bound(list.begin(), list.end(), id, [](const T& r, UINT key) { return r.id < key; });
    return it != list.end() && it->id == id ? &*it : nullptr;
}

// The modules in search order: the program's, then the framework's.
template <class Fn>
auto SearchModules(Fn find) -> decltype(find(FrameworkResources()))
{
    const res::Module& framework = FrameworkResources();
    if (g_programModule && g_programModule != &framework)
        if (auto found = find(*g_programModule))
            return found;
    return find(framework);
}

char16_t AsciiUpper(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c; }

// Names are stored upper-case; the query may be in any case.
int CompareName(std::u16string_view stored, std::u16string_view query)
{
    const std::size_t n = std::min(stored.size(), query.size());
    for (std::size_t i = 0; i < n; ++i) {
        const char16_t a = stored[i];
        const char16_t b = AsciiUpper(query[i]);
        if (a != b)
            return a < b ? -1 : 1;
    }
    return stored.size() == query.size() ? 0 : (stored.size() < query.size() ? -1 : 1);
}

}  // namespace

void AfxSetResourceHandle(const res::Module* module) { g_programModule = module; }

const res::Module* AfxGetResourceHandle() { return g_programModule; }

namespace res {

std::optional<std::u16string_view> FindString(const Module& module, UINT id)
{
    if (const StringResource* s = FindById(module.strings, id))
        return s->text;
    return std::nullopt;
}

const Menu* FindMenu(const Module& module, UINT id) { return FindById(module.menus, id); }

const AcceleratorTable* FindAccelerators(const Module& module, UINT id) { return FindById(module.accelerators, id); }

const DialogTemplate* FindDialog(const Module& module, UINT id) { return FindById(module.dialogs, id); }

const DialogTemplate* FindDialog(const Module& module, std::u16string_view name)
{
    auto it = std::lower_bound(
        module.namedDialogs.begin(), module.namedDialogs.end(), name,
        [](const DialogTemplate& d, std::u16string_view key) { return CompareName(d.name, key) < 0; });
    return it != module.namedDialogs.end() && CompareName(it->name, name) == 0 ? &*it : nullptr;
}

const Toolbar* FindToolbar(const Module& module, UINT id) { return FindById(module.toolbars, id); }
const Blob* FindBitmap(const Module& module, UINT id) { return FindById(module.bitmaps, id); }
const Blob* FindIcon(const Module& module, UINT id) { return FindById(module.icons, id); }
const Blob* FindRCData(const Module& module, UINT id) { return FindById(module.rcdata, id); }

const VersionInfo* FindVersionInfo(const Module& module, UINT id) { return FindById(module.versions, id); }

std::optional<std::u16string_view> FindString(UINT id)
{
    return SearchModules([id](const Module& m) { return FindString(m, id); });
}

const Menu* FindMenu(UINT id)
{
    return SearchModules([id](const Module& m) { return FindMenu(m, id); });
}

const AcceleratorTable* FindAccelerators(UINT id)
{
    return SearchModules([id](const Module& m) { return FindAccelerators(m, id); });
}

const DialogTemplate* FindDialog(UINT id)
{
    return SearchModules([id](const Module& m) { return FindDialog(m, id); });
}

const DialogTemplate* FindDialog(std::u16string_view name)
{
    return SearchModules([name](const Module& m) { return FindDialog(m, name); });
}

const Toolbar* FindToolbar(UINT id)
{
    return SearchModules([id](const Module& m) { return FindToolbar(m, id); });
}

const Blob* FindBitmap(UINT id)
{
    return SearchModules([id](const Module& m) { return FindBitmap(m, id); });
}

const Blob* FindIcon(UINT id)
{
    return SearchModules([id](const Module& m) { return FindIcon(m, id); });
}

const Blob* FindRCData(UINT id)
{
    return SearchModules([id](const Module& m) { return FindRCData(m, id); });
}

const VersionInfo* FindVersionInfo(UINT id)
{
    return SearchModules([id](const Module& m) { return FindVersionInfo(m, id); });
}

}  // namespace res
