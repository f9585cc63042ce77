#include "editor/EncodingOption.h"

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "framework/app/TextEncoding.h"
#include "framework/base/SafeText.h"

namespace {

constexpr std::string_view kLong = "--encoding";
constexpr std::string_view kShort = "-e";

int Refuse(const char* program, const std::string& what)
{
    std::fprintf(stderr, "%s: %s (use utf-8 or 8bit)\n", SafeText(program ? program : "tessel").c_str(), what.c_str());
    return 2;
}

}  // namespace

int TakeEncodingOption(std::vector<char*>& args, const char* environment)
{
    const char* program = args.empty() ? nullptr : args[0];
    std::optional<TextEncoding> chosen;
    for (std::size_t i = 1; i < args.size();) {
        const std::string_view word = args[i];
        if (word == "--")
            break;
        std::size_t words = 1;
        std::string_view name;
        if (word == kLong || word == kShort) {
            if (i + 1 == args.size())
                return Refuse(program, std::string(word) + " needs an encoding");
            name = args[i + 1];
            words = 2;
        } else if (word.starts_with(kLong) && word[kLong.size()] == '=') {
            name = word.substr(kLong.size() + 1);
        } else {
            ++i;
            continue;
        }
        chosen = TextEncodingNamed(name);
        if (!chosen)
            return Refuse(program, "unknown encoding \"" + SafeText(name) + "\"");
        args.erase(args.begin() + std::ptrdiff_t(i), args.begin() + std::ptrdiff_t(i + words));
    }
    if (!chosen && environment && *environment) {
        chosen = TextEncodingNamed(environment);
        if (!chosen)
            return Refuse(program, "unknown encoding \"" + SafeText(environment) + "\" in TESSEL_ENCODING");
    }
    if (chosen)
        SetSessionTextEncoding(*chosen);
    return -1;
}
