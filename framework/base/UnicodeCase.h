// The Unicode case mappings of single code points. ASCII is mapped here;
// everything beyond it asks ICU's common library, opened on first use
// (UnicodeLibrary.h), which may throw UnicodeLibraryException.
#pragma once

namespace UnicodeCase {

// Simple case folding (the default, not the Turkic one).
char32_t Fold(char32_t cp);

// Simple uppercase and lowercase mappings.
char32_t Upper(char32_t cp);
char32_t Lower(char32_t cp);

}  // namespace UnicodeCase
