// Every C++ snippet of the README and the guide is quoted from a file that is compiled: the
// last file the text names before the snippet ("From `examples/FirstScene.cpp`:" or a link)
// holds each of the snippet's lines, in the same order.

#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string trimmed(const std::string& line) {
    const auto first = line.find_first_not_of(" \t");
    const auto last = line.find_last_not_of(" \t\r");
    return first == std::string::npos ? "" : line.substr(first, last - first + 1);
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(trimmed(line));
    }
    return lines;
}

struct Snippet {
    std::string source;  // the file it says it is quoted from
    std::vector<std::string> lines;
    int line = 0;  // where it starts in the document
};

// The last path ending in ".cpp" on the line ("examples/FirstScene.cpp"), or "".
std::string lastCppPath(const std::string& line) {
    std::string found;
    for (size_t end = line.find(".cpp"); end != std::string::npos;
         end = line.find(".cpp", end + 1)) {
        size_t start = end;
        while (start > 0 && (std::isalnum(static_cast<unsigned char>(line[start - 1])) ||
                             line[start - 1] == '/' || line[start - 1] == '_')) {
            --start;
        }
        if (line.find('/', start) < end) {
            found = line.substr(start, end + 4 - start);
        }
    }
    return found;
}

std::vector<Snippet> snippetsOf(const std::string& document) {
    std::vector<Snippet> snippets;
    std::string lastNamed;
    const std::vector<std::string> lines = linesOf(document);
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i] == "```cpp") {
            Snippet snippet{lastNamed, {}, static_cast<int>(i + 1)};
            for (++i; i < lines.size() && lines[i] != "```"; ++i) {
                if (!lines[i].empty()) {
                    snippet.lines.push_back(lines[i]);
                }
            }
            snippets.push_back(snippet);
        } else if (!lastCppPath(lines[i]).empty()) {
            lastNamed = lastCppPath(lines[i]);
        }
    }
    return snippets;
}

}  // namespace

TEST(DocSnippetsTest, EverySnippetIsQuotedInOrderFromTheFileItNames) {
    for (const char* document : {"README.md", "docs/GUIDE.md"}) {
        const std::string root = ENGINE_SOURCE_DIR;
        const std::vector<Snippet> snippets = snippetsOf(readFile(root + "/" + document));
        EXPECT_FALSE(snippets.empty()) << document;
        for (const Snippet& snippet : snippets) {
            SCOPED_TRACE(std::string(document) + ", snippet at line " +
                         std::to_string(snippet.line) + ", from " + snippet.source);
            ASSERT_FALSE(snippet.source.empty()) << "the text names no file before it";
            const std::vector<std::string> source = linesOf(readFile(root + "/" + snippet.source));
            ASSERT_FALSE(source.empty()) << "no such file";
            size_t at = 0;
            for (const std::string& line : snippet.lines) {
                while (at < source.size() && source[at] != line) {
                    ++at;
                }
                ASSERT_LT(at, source.size()) << "not in the file (in this order): " << line;
                ++at;
            }
        }
    }
}
