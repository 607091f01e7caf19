// Checks the compiled help files VandrelEnglish.chm and VandrelGerman.chm as the
// build leaves them beside the executables: each is unpacked with extract_chmLib
// and its start page, table of contents, index and links are checked against
// what is really inside it, and the two languages are compared with each other.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const fs::path kSource = VANDREL_HELP_SOURCE;  // help/ in the source tree
const fs::path kOutput = VANDREL_HELP_OUTPUT;  // the folder of the executables

// The picture that the window script makes; the help compiles without it until
// it is there, so it is only checked when the source tree has it.
const std::string kScreenshot = "images/main-window.png";

struct Language {
    std::string file;     // the compiled help
    std::string folder;   // its pages in the source tree
    std::string lang;     // the lang attribute of its pages
    std::uint32_t lcid;   // its language id in the compiled file
};

const std::vector<Language> kLanguages = {
    {"VandrelEnglish.chm", "en", "en", 0x0409},
    {"VandrelGerman.chm", "de", "de", 0x0407},
};

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Decodes the character references the pages use (named Latin-1 letters and
// numeric ones), so that two spellings of one letter compare equal.
std::string DecodeEntities(const std::string& text) {
    static const std::map<std::string, int> named = {
        {"amp", '&'}, {"quot", '"'}, {"lt", '<'}, {"gt", '>'}, {"nbsp", 0xa0},
        {"auml", 0xe4}, {"ouml", 0xf6}, {"uuml", 0xfc}, {"Auml", 0xc4}, {"Ouml", 0xd6},
        {"Uuml", 0xdc}, {"szlig", 0xdf}, {"times", 0xd7}, {"minus", 0x2212}};
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::size_t end = text[i] == '&' ? text.find(';', i) : std::string::npos;
        if (end != std::string::npos && end - i <= 10) {
            const std::string name = text.substr(i + 1, end - i - 1);
            int code = -1;
            if (name.size() > 1 && name[0] == '#')
                code = std::atoi(name.c_str() + 1);
            else if (auto found = named.find(name); found != named.end())
                code = found->second;
            if (code >= 0) {
                out += "&#" + std::to_string(code) + ";";  // one spelling for every letter
                i = end;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

std::string WithoutComments(std::string html) {
    return std::regex_replace(html, std::regex("<!--[\\s\\S]*?-->"), "");
}

// The attributes of one tag, names in lower case, values as written.
std::map<std::string, std::string> Attributes(const std::string& tag) {
    static const std::regex attribute(R"re(([A-Za-z_:][-A-Za-z0-9_:.]*)\s*=\s*(?:"([^"]*)"|'([^']*)'|([^\s"'>]+)))re");
    std::map<std::string, std::string> result;
    for (auto it = std::sregex_iterator(tag.begin(), tag.end(), attribute); it != std::sregex_iterator(); ++it) {
        const auto& m = *it;
        result[Lower(m[1].str())] = m[2].matched ? m[2].str() : m[3].matched ? m[3].str() : m[4].str();
    }
    return result;
}

struct Tag {
    std::string name;  // lower case
    std::map<std::string, std::string> attributes;
};

std::vector<Tag> Tags(const std::string& html) {
    static const std::regex tag(R"(<\s*([A-Za-z][A-Za-z0-9]*)([^>]*)>)");
    const std::string text = WithoutComments(html);
    std::vector<Tag> tags;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), tag); it != std::sregex_iterator(); ++it)
        tags.push_back({Lower((*it)[1].str()), Attributes((*it)[2].str())});
    return tags;
}

// One entry of a table of contents or an index: its name, the page it opens
// (empty for a book without a page) and its depth in the tree (0 = top level).
struct SitemapEntry {
    std::string name;
    std::string local;
    int depth = 0;
};

std::vector<SitemapEntry> ReadSitemap(const std::string& text) {
    std::vector<SitemapEntry> entries;
    int depth = -1;
    bool inEntry = false;
    SitemapEntry entry;
    static const std::regex token(R"(<\s*(/?)\s*([A-Za-z]+)([^>]*)>)");
    const std::string html = WithoutComments(text);
    for (auto it = std::sregex_iterator(html.begin(), html.end(), token); it != std::sregex_iterator(); ++it) {
        const bool closing = !(*it)[1].str().empty();
        const std::string name = Lower((*it)[2].str());
        const auto attributes = Attributes((*it)[3].str());
        if (name == "ul") {
            depth += closing ? -1 : 1;
        } else if (name == "object" && !closing) {
            auto type = attributes.find("type");
            inEntry = type != attributes.end() && Lower(type->second) == "text/sitemap";
            entry = SitemapEntry{"", "", depth};
        } else if (name == "object" && closing) {
            if (inEntry) entries.push_back(entry);
            inEntry = false;
        } else if (name == "param" && inEntry) {
            const std::string param = attributes.count("name") ? Lower(attributes.at("name")) : "";
            const std::string value = attributes.count("value") ? attributes.at("value") : "";
            if (param == "name" && entry.name.empty()) entry.name = value;
            if (param == "local" && entry.local.empty()) entry.local = value;
        }
    }
    return entries;
}

// The settings that the compiler stores in the file #SYSTEM.
struct SystemInfo {
    std::string contentsFile, indexFile, defaultTopic, title;
    std::uint32_t lcid = 0;
};

SystemInfo ReadSystem(const std::string& bytes) {
    SystemInfo info;
    auto word = [&](std::size_t at) {
        return static_cast<unsigned>(static_cast<unsigned char>(bytes[at])) |
               static_cast<unsigned>(static_cast<unsigned char>(bytes[at + 1])) << 8;
    };
    std::size_t at = 4;  // the version
    while (at + 4 <= bytes.size()) {
        const unsigned code = word(at), length = word(at + 2);
        if (at + 4 + length > bytes.size()) break;
        const std::string data = bytes.substr(at + 4, length);
        const std::string text = data.substr(0, data.find('\0'));
        if (code == 0) info.contentsFile = text;
        if (code == 1) info.indexFile = text;
        if (code == 2) info.defaultTopic = text;
        if (code == 3) info.title = text;
        if (code == 4 && length >= 4) info.lcid = word(at + 4) | word(at + 6) << 16;
        at += 4 + length;
    }
    return info;
}

bool IsPage(const fs::path& path) {
    const std::string extension = Lower(path.extension().string());
    return extension == ".html" || extension == ".htm";
}

// The names (a name= or id= attribute) that links can jump to in a page.
std::set<std::string> Anchors(const std::string& html) {
    std::set<std::string> anchors;
    for (const Tag& tag : Tags(html)) {
        if (auto id = tag.attributes.find("id"); id != tag.attributes.end()) anchors.insert(id->second);
        if (tag.name == "a")
            if (auto name = tag.attributes.find("name"); name != tag.attributes.end()) anchors.insert(name->second);
    }
    return anchors;
}

// One compiled help, unpacked into a folder of its own.
class UnpackedHelp {
public:
    explicit UnpackedHelp(const Language& language) : language_(language) {
        chm_ = kOutput / language.file;
        root_ = fs::temp_directory_path() /
                ("vandrel_help_test_" + std::to_string(::getpid()) + "_" + language.folder);
        fs::remove_all(root_);
        fs::create_directories(root_);
        if (!fs::exists(chm_)) return;
        const std::string command = "'" VANDREL_EXTRACT_CHMLIB "' '" + chm_.string() + "' '" + root_.string() +
                                    "' > /dev/null 2>&1";
        unpacked_ = std::system(command.c_str()) == 0;
        system_ = ReadSystem(ReadFile(root_ / "#SYSTEM"));
    }
    ~UnpackedHelp() {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }
    UnpackedHelp(const UnpackedHelp&) = delete;
    UnpackedHelp& operator=(const UnpackedHelp&) = delete;

    const Language& language() const { return language_; }
    const fs::path& chm() const { return chm_; }
    bool unpacked() const { return unpacked_; }
    const SystemInfo& system() const { return system_; }
    bool Has(const std::string& name) const { return fs::is_regular_file(root_ / name); }
    std::string Read(const std::string& name) const { return ReadFile(root_ / name); }

    // Every file inside, as paths relative to the root of the help with "/".
    std::vector<std::string> Files() const {
        std::vector<std::string> files;
        for (const auto& entry : fs::recursive_directory_iterator(root_))
            if (entry.is_regular_file()) files.push_back(entry.path().lexically_relative(root_).generic_string());
        std::sort(files.begin(), files.end());
        return files;
    }
    std::vector<std::string> Pages() const {
        std::vector<std::string> pages;
        for (const auto& file : Files())
            if (IsPage(file)) pages.push_back(file);
        return pages;
    }
    std::vector<SitemapEntry> Contents() const { return ReadSitemap(Read(system_.contentsFile)); }
    std::vector<SitemapEntry> Index() const { return ReadSitemap(Read(system_.indexFile)); }

    // Checks that a link written in the file `from` leads to a file of the help
    // and, when it names an anchor, that the page has it. Returns "" when it
    // does, otherwise what is wrong.
    std::string CheckLink(const std::string& from, const std::string& link) const {
        static const std::regex scheme("^[A-Za-z][-A-Za-z0-9+.]*:");
        const std::string target = DecodeEntities(link);
        if (target.empty()) return "an empty link";
        if (std::regex_search(target, scheme)) return "";  // a web address, not part of the help
        const std::size_t hash = target.find('#');
        const std::string path = target.substr(0, hash);
        const std::string anchor = hash == std::string::npos ? "" : target.substr(hash + 1);
        std::string file = from;
        if (!path.empty()) {
            const fs::path base = path[0] == '/' ? fs::path() : fs::path(from).parent_path();
            file = (base / fs::path(path).relative_path()).lexically_normal().generic_string();
        }
        if (file.empty() || file.rfind("..", 0) == 0) return "leads out of the help: " + link;
        if (!Has(file)) {
            if (file == kScreenshot && !fs::exists(kSource / kScreenshot)) return "";  // not made yet
            return "leads to a file that is not in the help: " + link;
        }
        if (!anchor.empty() && IsPage(file) && Anchors(Read(file)).count(anchor) == 0)
            return "names an anchor that " + file + " does not have: " + link;
        return "";
    }

private:
    Language language_;
    fs::path chm_, root_;
    bool unpacked_ = false;
    SystemInfo system_;
};

class CompiledHelp : public ::testing::Test {
protected:
    void SetUp() override {
        for (const Language& language : kLanguages) {
            helps_.push_back(std::make_unique<UnpackedHelp>(language));
            ASSERT_TRUE(fs::exists(helps_.back()->chm()))
                << helps_.back()->chm() << " was not built (the build compiles it with chmcmd)";
            ASSERT_TRUE(helps_.back()->unpacked()) << "extract_chmLib could not unpack " << helps_.back()->chm();
        }
    }
    std::vector<std::unique_ptr<UnpackedHelp>> helps_;
};

TEST_F(CompiledHelp, BothFilesAreCompiledHelpFilesBesideTheExecutables) {
    for (const auto& help : helps_) {
        SCOPED_TRACE(help->language().file);
        EXPECT_EQ(ReadFile(help->chm()).substr(0, 4), "ITSF");
        EXPECT_FALSE(help->Pages().empty());
    }
}

TEST_F(CompiledHelp, StartPageContentsAndIndexAreInsideAndTheLanguageIsSet) {
    for (const auto& help : helps_) {
        SCOPED_TRACE(help->language().file);
        const SystemInfo& system = help->system();
        EXPECT_EQ(system.defaultTopic, "index.html");
        EXPECT_TRUE(help->Has(system.defaultTopic)) << "the start page " << system.defaultTopic;
        EXPECT_TRUE(help->Has(system.contentsFile)) << "the table of contents " << system.contentsFile;
        EXPECT_TRUE(help->Has(system.indexFile)) << "the index " << system.indexFile;
        EXPECT_FALSE(system.title.empty());
        EXPECT_EQ(system.lcid, help->language().lcid);
        const auto contents = help->Contents();
        ASSERT_FALSE(contents.empty());
        EXPECT_EQ(contents.front().local, system.defaultTopic) << "the contents begin with the start page";
    }
}

TEST_F(CompiledHelp, EveryPageOfTheContentsIsInside) {
    for (const auto& help : helps_) {
        SCOPED_TRACE(help->language().file);
        std::set<std::string> seen;
        int pages = 0;
        for (const SitemapEntry& entry : help->Contents()) {
            EXPECT_FALSE(entry.name.empty()) << "an entry without a name, page " << entry.local;
            if (entry.local.empty()) continue;  // a book that only groups pages
            ++pages;
            EXPECT_TRUE(seen.insert(entry.local).second) << entry.local << " is in the contents twice";
            EXPECT_EQ(help->CheckLink(help->system().contentsFile, entry.local), "")
                << "the contents entry \"" << entry.name << "\"";
        }
        EXPECT_GE(pages, 10);
    }
}

TEST_F(CompiledHelp, EveryPageInsideIsInTheContentsUnderItsOwnTitle) {
    static const std::regex title("<title>([\\s\\S]*?)</title>", std::regex::icase);
    for (const auto& help : helps_) {
        SCOPED_TRACE(help->language().file);
        std::map<std::string, std::string> contents;  // page -> entry name
        for (const SitemapEntry& entry : help->Contents())
            if (!entry.local.empty()) contents[entry.local] = entry.name;
        for (const std::string& page : help->Pages()) {
            auto entry = contents.find(page);
            if (entry == contents.end()) {
                ADD_FAILURE() << page << " is inside but cannot be reached from the contents";
                continue;
            }
            std::smatch m;
            const std::string html = help->Read(page);
            ASSERT_TRUE(std::regex_search(html, m, title)) << page << " has no title";
            EXPECT_EQ(DecodeEntities(m[1].str()), DecodeEntities(entry->second))
                << "the title of " << page << " and its entry in the contents";
        }
    }
}

TEST_F(CompiledHelp, EveryPageOfTheSourceFolderIsCompiledIn) {
    for (const auto& help : helps_) {
        SCOPED_TRACE(help->language().file);
        for (const auto& entry : fs::directory_iterator(kSource / help->language().folder)) {
            if (IsPage(entry.path())) {
                EXPECT_TRUE(help->Has(entry.path().filename().string()))
                    << entry.path() << " is missing from the compiled help";
            }
        }
    }
}

TEST_F(CompiledHelp, EveryIndexEntryLeadsToAPage) {
    for (const auto& help : helps_) {
        SCOPED_TRACE(help->language().file);
        const auto index = help->Index();
        EXPECT_GE(index.size(), 20u);
        for (const SitemapEntry& entry : index) {
            EXPECT_FALSE(entry.name.empty());
            ASSERT_FALSE(entry.local.empty()) << "the index entry \"" << entry.name << "\" opens no page";
            EXPECT_EQ(help->CheckLink(help->system().indexFile, entry.local), "")
                << "the index entry \"" << entry.name << "\"";
        }
    }
}

TEST_F(CompiledHelp, EveryLinkOfEveryPageResolvesInside) {
    for (const auto& help : helps_) {
        SCOPED_TRACE(help->language().file);
        for (const std::string& page : help->Pages()) {
            int links = 0;
            for (const Tag& tag : Tags(help->Read(page)))
                for (const char* attribute : {"href", "src"})
                    if (auto value = tag.attributes.find(attribute); value != tag.attributes.end()) {
                        ++links;
                        EXPECT_EQ(help->CheckLink(page, value->second), "") << "in " << page;
                    }
            EXPECT_GT(links, 1) << page << " links to nothing (not even its style sheet)";
        }
    }
}

TEST_F(CompiledHelp, TheScreenshotIsInsideOnceItHasBeenMade) {
    if (!fs::exists(kSource / kScreenshot))
        GTEST_SKIP() << kScreenshot << " has not been made yet; the pages refer to it already";
    const std::string picture = ReadFile(kSource / kScreenshot);
    for (const auto& help : helps_) {
        SCOPED_TRACE(help->language().file);
        ASSERT_TRUE(help->Has(kScreenshot));
        EXPECT_EQ(help->Read(kScreenshot), picture) << "the compiled help holds an old screenshot";
    }
}

TEST_F(CompiledHelp, GermanAndEnglishHaveTheSamePagesInTheSameContents) {
    ASSERT_EQ(helps_.size(), 2u);
    const UnpackedHelp& english = *helps_[0];
    const UnpackedHelp& german = *helps_[1];
    EXPECT_EQ(english.Pages(), german.Pages());
    std::vector<std::pair<int, std::string>> englishTree, germanTree;
    for (const auto& entry : english.Contents()) englishTree.emplace_back(entry.depth, entry.local);
    for (const auto& entry : german.Contents()) germanTree.emplace_back(entry.depth, entry.local);
    EXPECT_EQ(englishTree, germanTree) << "the two tables of contents differ in pages, order or nesting";
}

TEST_F(CompiledHelp, PagesAreMarkedWithTheirLanguageAndWrittenInPlainAscii) {
    for (const auto& help : helps_) {
        SCOPED_TRACE(help->language().file);
        for (const std::string& file : help->Files()) {
            const std::string extension = Lower(fs::path(file).extension().string());
            if (!IsPage(file) && extension != ".hhc" && extension != ".hhk" && extension != ".css") continue;
            // Letters beyond ASCII are written as character references, so that
            // every viewer shows them alike whatever code page it assumes.
            const std::string text = help->Read(file);
            const auto wide = std::find_if(text.begin(), text.end(),
                                           [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
            EXPECT_TRUE(wide == text.end()) << file << " has a byte beyond ASCII at offset " << (wide - text.begin());
            if (!IsPage(file)) continue;
            bool marked = false;
            for (const Tag& tag : Tags(text)) {
                if (tag.name == "html")
                    marked = tag.attributes.count("lang") && tag.attributes.at("lang") == help->language().lang;
            }
            EXPECT_TRUE(marked) << file << " is not marked lang=\"" << help->language().lang << "\"";
        }
    }
}

}  // namespace
