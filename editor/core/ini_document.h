// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editor/core/name_index.h"

#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace brev {

// An INI text, parsed once, read and rewritten as the INI library the pattern file was first
// written with does it (SimpleIni's case-insensitive class, one value per key, no multi-line
// values): section and key names ignore case; of keys written twice the last value counts;
// comment lines stay with the section or key they precede; text after a NUL byte is ignored.
// A rewrite keeps every section and key the text had, in their order, and adds new ones behind.
class IniDocument {
public:
    explicit IniDocument(std::string_view text);
    IniDocument(const IniDocument&) = delete;
    IniDocument& operator=(const IniDocument&) = delete;

    struct Section;
    // A section to look many keys up in; null when there is none.
    const Section* section(std::string_view name) const;
    // The value of key in section; null when there is none.
    const char* value(const Section* section, std::string_view key) const;
    const char* value(std::string_view section, std::string_view key) const {
        return value(this->section(section), key);
    }
    // The section to set many keys in, added at the end when missing.
    Section& sectionToWrite(std::string_view name);
    // Sets key in section, adding it at the end when missing.
    void setValue(Section& section, std::string_view key, std::string_view value);
    void setValue(std::string_view section, std::string_view key, std::string_view value) {
        setValue(sectionToWrite(section), key, value);
    }
    // The whole text, "key=value" lines with "\n" line ends.
    std::string text() const;

    struct Entry {
        const char* key;
        const char* value;
        const char* comment; // null when none
    };
    struct Section {
        const char* name;
        const char* comment; // null when none
        std::vector<Entry> entries;
        NameIndex index;
    };

private:
    bool findEntry(char*& data, const char*& section, const char*& key, const char*& value,
                   const char*& comment);
    void addEntry(const char* section, const char* key, const char* value, const char* comment);
    const char* keep(std::string_view text);

    std::string buffer_;           // the parsed text, cut into NUL-terminated names and values
    std::deque<std::string> kept_; // names and values set afterwards
    const char* fileComment_ = nullptr;
    std::deque<Section> sections_;
    NameIndex sectionIndex_;
};

} // namespace brev
