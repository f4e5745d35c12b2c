// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/core/tempo_table.h"

#include "base/atomic_file.h"
#include "base/error.h"
#include "base/private_folder.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

namespace brev {

namespace {

constexpr std::int64_t kFramesPerSecond = 44100;
// 44100 frames × 60 seconds / 4 sixteenths per beat: the tempo of a one-frame sixteenth.
constexpr std::int64_t kTempoFrames = 661500;

constexpr const char* kWebAddress = "https://brev-editor.example.org";
constexpr const char* kMailAddress = "brev-editor@example.org";

constexpr const char* kHead =
    "<html>\n<head>\n<style>\nbody\n{\nbackground-color: #CCCCCC;\ncolor: #000000;\n"
    "font-family: Arial, Helvetica, sans-serif;\nfont-size: 14px;\nfont-style: normal;\n"
    "list-style-type: disc;\ntext-align: justify;\n}\na:link{color: #0000FF;}\n"
    "a:active{color: #0000FF;}\na:hover{color: #0000FF;}\na:visited{color: #0000FF;}\nh1\n{\n"
    "background-color: #eeeeee;\nborder-bottom-width: 1px;\nborder-left-width: 0px;\n"
    "border-right-width: 1px;\nborder-style: solid;\nborder-top-width: 0px;\nclip: rect();\n"
    "color: #000000;\nfont-size: 16px;\nleft: 4px;\nmargin-bottom: 9px;\nmargin-left: 2px;\n"
    "margin-right: 2px;\nmargin-top: 9px;\npadding-bottom: 2px;\npadding-left: 2px;\n"
    "padding-right: 2px;\npadding-top: 2px;\ntext-indent: 5px;\n}\n</style>\n"
    "<title>BREV Editor table</title>\n</head>\n<body>\n";

constexpr const char* kTableStart = "<table cellspacing=\"4\" cellpadding=\"2\">\n";

// numerator / denominator (both non-negative) to the given number of decimals, ties rounded up.
// Integer arithmetic is exact; a quotient that is not a tie lies too far from one for extended
// precision to round it differently.
std::string fixedDecimals(std::int64_t numerator, std::int64_t denominator, int decimals,
                          bool integerDigitWhenZero, const std::string& separator) {
    std::int64_t scale = 1;
    for (int i = 0; i < decimals; ++i) {
        scale *= 10;
    }
    const std::int64_t scaled = (2 * numerator * scale + denominator) / (2 * denominator);
    const std::int64_t whole = scaled / scale;
    std::string text;
    if (whole != 0 || integerDigitWhenZero) {
        text += std::to_string(whole);
    }
    std::string fraction = std::to_string(scaled % scale);
    text += separator;
    text.append(decimals - fraction.size(), '0');
    text += fraction;
    return text;
}

// The name goes into the page as text: markup characters in a path must not become markup.
std::string htmlText(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string cell(const char* colour, const std::string& label, const std::string& value) {
    return std::string("<td bgcolor=\"") + colour + "\">" + label + "</td><td bgcolor=\"" + colour +
           "\">" + value + "</td>\n";
}

std::string particleRow(const char* label, std::int64_t frames) {
    return std::string("<tr><td bgcolor=\"dddddd\">") + label + "</td><td bgcolor=\"dddddd\">" +
           std::to_string(frames) + "</td></tr>\n";
}

std::string withCrLf(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n') {
            out += '\r';
        }
        out += c;
    }
    return out;
}

} // namespace

TempoTableInput tempoTableInput(const SegmentStore& store, int swing, std::string fileName,
                                std::string decimalSeparator) {
    TempoTableInput input;
    input.loopFrames = store.SourceSamples();
    for (int k = 0; k < SegmentStore::kCount; ++k) {
        input.offsets[k] = store.regionStart(k);
    }
    input.swing = swing;
    input.fileName = std::move(fileName);
    input.decimalSeparator = std::move(decimalSeparator);
    return input;
}

std::string tempoTablePage(const TempoTableInput& input) {
    const std::int64_t b = input.loopFrames / 16;
    const auto& o = input.offsets;
    const std::string& separator = input.decimalSeparator;
    std::string page = kHead;

    if (!input.fileName.empty()) {
        page += "<h1>Filename</h1>\n" + htmlText(input.fileName) + "\n";
    }

    // A loop shorter than 16 frames has no tempo; show none rather than divide by zero.
    const std::string bpm = b > 0 ? fixedDecimals(kTempoFrames, b, 2, false, separator) : "-";
    page += "<h1>Tempo</h1>\n<ul>\n<li>" + bpm + " BPM</li>\n<li>" + std::to_string(input.swing) +
            "% swing</li>\n</ul>\n";

    page += std::string("<h1>Short particles</h1>\n") + kTableStart +
            "<tr><td bgcolor=\"ffffff\">Part</td><td bgcolor=\"ffffff\">Samples</td></tr>\n";
    if (input.swing == 0) {
        page += particleRow("1/2", b / 2);
        page += particleRow("1/4", b / 4);
        page += particleRow("1/8", b / 8);
    } else {
        const std::int64_t longLength = o[1];
        const std::int64_t shortLength = o[2] - o[1];
        page += particleRow("1/2 (long)", longLength / 2);
        page += particleRow("1/2 (short)", shortLength / 2);
        page += particleRow("1/4 (long)", longLength / 4);
        page += particleRow("1/4 (short)", shortLength / 4);
        page += particleRow("1/8 (long)", longLength / 8);
        page += particleRow("1/8 (short)", shortLength / 8);
    }
    page += "</table>\n";

    page += std::string("<h1>1/16 Offsets</h1>\n") + kTableStart + "<tr>\n";
    for (int column = 0; column < 5; ++column) {
        page += "<td bgcolor=\"ffffff\">Position</td><td bgcolor=\"ffffff\">Offset</td>\n";
    }
    for (int row = 0; row < 4; ++row) {
        page += "</tr>\n<tr>\n";
        for (int beat = 0; beat < 4; ++beat) {
            const char* colour = beat % 2 == 0 ? "dddddd" : "eeeeee";
            const std::string label = row == 0 ? std::to_string(beat) : ".";
            const std::int64_t offset = row == 0 && beat == 0 ? 0 : o[beat * 4 + row];
            page += cell(colour, label, std::to_string(offset));
        }
        if (row == 0) {
            page += cell("dddddd", "<b>4</b>", "<b>" + std::to_string(16 * b) + "</b>");
        } else {
            page += cell("dddddd", "-", "");
        }
    }
    page += "</tr>\n</table>\n";

    page += std::string("<h1>Lengths</h1>\n") + kTableStart;
    for (int beats : {4, 8, 16, 32, 64}) {
        page += "<tr><td bgcolor=\"dddddd\">" + std::to_string(beats) +
                " beats</td><td bgcolor=\"dddddd\">" + std::to_string(4 * b * beats) +
                " samples</td></tr>\n";
    }
    page += "</table>\n";

    page += std::string("<h1>Echo table (seconds)</h1>\n") + kTableStart;
    for (int sixteenths = 1; sixteenths <= 4; ++sixteenths) {
        if (input.swing != 0 && sixteenths % 2 == 1) {
            continue;
        }
        page += "<tr><td bgcolor=\"dddddd\">" + std::to_string(sixteenths) +
                "</td><td bgcolor=\"dddddd\">" +
                fixedDecimals(b * sixteenths, kFramesPerSecond, 3, true, separator) +
                "</td></tr>\n";
    }

    page += std::string("</table>\n<p>Generated by BREV Editor | <a href=\"") + kWebAddress +
            "\">" + kWebAddress + "</a> | <a href=\"mailto:" + kMailAddress + "\">" + kMailAddress +
            "</a>\n</p>\n</body>\n</html>\n";
    return withCrLf(page);
}

std::string tempoTablePath() {
    return privateFilePath("brev_table.html");
}

void writeTempoTable(const std::string& path, const TempoTableInput& input, FileAccess access) {
    if (const int error = writeFileAtomically(path, tempoTablePage(input), access))
        throw Error("Unable to write the tempo table " + path + "\n" + errorReason(error));
}

} // namespace brev
