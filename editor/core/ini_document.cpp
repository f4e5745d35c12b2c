// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/core/ini_document.h"

#include <cstring>

namespace brev {

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool isComment(char c) {
    return c == ';' || c == '#';
}

bool isNewLine(char c) {
    return c == '\n' || c == '\r';
}

void skipNewLine(char*& data) {
    data += (data[0] == '\r' && data[1] == '\n') ? 2 : 1;
}

// Comment lines from data on, joined with "\n" in place; blank lines count only between comment
// lines, and only when allowBlankLines. False, with text null, when data starts no comment.
bool loadComment(char*& data, const char*& text, bool allowBlankLines) {
    char* joined = data;
    text = data;
    for (;;) {
        if (!isComment(*data)) {
            if (!allowBlankLines)
                break;
            char* ahead = data;
            int newLines = 0;
            while (isSpace(*ahead)) {
                if (isNewLine(*ahead)) {
                    ++newLines;
                    skipNewLine(ahead);
                } else {
                    ++ahead;
                }
            }
            if (!isComment(*ahead))
                break;
            for (; newLines > 0; --newLines)
                *joined++ = '\n';
            data = ahead;
            continue;
        }
        char* line = data;
        while (*data && !isNewLine(*data))
            ++data;
        if (joined < line) {
            const auto length = static_cast<std::size_t>(data - line);
            std::memmove(joined, line, length);
            joined[length] = '\0';
        }
        const char end = *data;
        if (!end)
            return true;
        joined += data - line;
        skipNewLine(data);
        *joined++ = '\n';
    }
    if (text == data) {
        text = nullptr;
        return false;
    }
    *--joined = '\0';
    return true;
}

// Each line of text followed by "\n"; nothing for an empty text.
void appendLines(std::string& out, const char* text) {
    if (!*text)
        return;
    for (;;) {
        const char* end = std::strchr(text, '\n');
        if (!end) {
            out += text;
            out += '\n';
            return;
        }
        out.append(text, end);
        out += '\n';
        text = end + 1;
    }
}

} // namespace

IniDocument::IniDocument(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    buffer_.reserve(text.size() + 1);
    buffer_.assign(text);
    buffer_.push_back('\0');
    char* data = buffer_.data();
    loadComment(data, fileComment_, false);
    const char* section = "";
    const char* key = nullptr;
    const char* value = nullptr;
    const char* comment = nullptr;
    while (findEntry(data, section, key, value, comment))
        addEntry(section, key, value, comment);
}

bool IniDocument::findEntry(char*& data, const char*& section, const char*& key, const char*& value,
                            const char*& comment) {
    comment = nullptr;
    while (*data) {
        while (*data && isSpace(*data))
            ++data;
        if (!*data)
            break;
        if (isComment(*data)) {
            loadComment(data, comment, true);
            continue;
        }
        if (*data == '[') {
            ++data;
            while (*data && isSpace(*data))
                ++data;
            // A line without its "]" still moves on to a new section: the rest of the text up to
            // the next end of a name, which holds a line end and so matches no name read here.
            char* name = data;
            section = name;
            while (*data && *data != ']' && !isNewLine(*data))
                ++data;
            if (*data != ']')
                continue;
            char* trail = data;
            while (trail > name && isSpace(trail[-1]))
                --trail;
            *trail = '\0';
            ++data;
            while (*data && !isNewLine(*data))
                ++data;
            key = nullptr;
            value = nullptr;
            return true;
        }
        char* name = data;
        while (*data && *data != '=' && !isNewLine(*data))
            ++data;
        if (*data != '=')
            continue;
        if (name == data) {
            while (*data && !isNewLine(*data))
                ++data;
            continue;
        }
        char* trail = data;
        while (trail > name && isSpace(trail[-1]))
            --trail;
        *trail = '\0';
        ++data;
        while (*data && !isNewLine(*data) && isSpace(*data))
            ++data;
        char* text = data;
        while (*data && !isNewLine(*data))
            ++data;
        trail = data;
        if (*data)
            skipNewLine(data);
        while (trail > text && isSpace(trail[-1]))
            --trail;
        *trail = '\0';
        key = name;
        value = text;
        return true;
    }
    return false;
}

void IniDocument::addEntry(const char* section, const char* key, const char* value,
                           const char* comment) {
    const std::size_t found = sectionIndex_.insert(section, sections_.size());
    if (found == sections_.size()) {
        // A comment belongs to a section only when it precedes the section's first line.
        sections_.push_back({section, key ? nullptr : comment, {}, {}});
    }
    if (!key)
        return;
    Section& target = sections_[found];
    const std::size_t entry = target.index.insert(key, target.entries.size());
    if (entry == target.entries.size())
        target.entries.push_back({key, value, comment});
    else
        target.entries[entry].value = value;
}

const IniDocument::Section* IniDocument::section(std::string_view name) const {
    const std::size_t found = sectionIndex_.find(name);
    return found == NameIndex::npos ? nullptr : &sections_[found];
}

const char* IniDocument::value(const Section* section, std::string_view key) const {
    if (!section)
        return nullptr;
    const std::size_t entry = section->index.find(key);
    return entry == NameIndex::npos ? nullptr : section->entries[entry].value;
}

const char* IniDocument::keep(std::string_view text) {
    // Up to the first NUL, as a name or value of the text would end there.
    return kept_.emplace_back(text.substr(0, text.find('\0'))).c_str();
}

IniDocument::Section& IniDocument::sectionToWrite(std::string_view name) {
    std::size_t found = sectionIndex_.find(name);
    if (found == NameIndex::npos) {
        found = sections_.size();
        sections_.push_back({keep(name), nullptr, {}, {}});
        sectionIndex_.insert(sections_.back().name, found);
    }
    return sections_[found];
}

void IniDocument::setValue(Section& section, std::string_view key, std::string_view value) {
    const std::size_t entry = section.index.find(key);
    if (entry == NameIndex::npos) {
        section.entries.push_back({keep(key), keep(value), nullptr});
        section.index.insert(section.entries.back().key, section.entries.size() - 1);
    } else {
        section.entries[entry].value = keep(value);
    }
}

std::string IniDocument::text() const {
    std::string out;
    out.reserve(buffer_.size() + 64);
    // The section without a name (keys above the first section line) comes first.
    std::vector<const Section*> order;
    for (const Section& section : sections_) {
        if (*section.name)
            order.push_back(&section);
        else
            order.insert(order.begin(), &section);
    }
    bool needNewLine = false;
    if (fileComment_) {
        appendLines(out, fileComment_);
        needNewLine = true;
    }
    for (const Section* section : order) {
        if (section->comment) {
            if (needNewLine)
                out += "\n\n";
            appendLines(out, section->comment);
            needNewLine = false;
        }
        if (needNewLine) {
            out += "\n\n";
            needNewLine = false;
        }
        if (*section->name) {
            out += '[';
            out += section->name;
            out += "]\n";
        }
        for (const Entry& entry : section->entries) {
            if (entry.comment) {
                out += '\n';
                appendLines(out, entry.comment);
            }
            out += entry.key;
            out += '=';
            out += entry.value;
            out += '\n';
        }
        needNewLine = true;
    }
    return out;
}

} // namespace brev
