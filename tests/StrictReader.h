#pragma once
// MilkShape 3D ASCII read as strictly as the engines that load these models:
// sections in the order the file has them, each count followed by exactly that
// many records, every key line four numbers, one "Frames:" line and no key
// beyond it. The program's own reader is lenient on purpose; this one tells
// whether a written file would load.
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace vandrel::test {

struct StrictModel {
    std::string problem;  // empty when the file reads
};

class StrictReader {
public:
    explicit StrictReader(std::string_view bytes) {
        for (size_t start = 0, end; start < bytes.size(); start = end + 1) {
            end = std::min(bytes.find('\n', start), bytes.size());
            std::string_view line = bytes.substr(start, end - start);
            lines_.emplace_back(line.substr(0, line.size() - (!line.empty() && line.back() == '\r')));
        }
    }

    StrictModel Read() {
        if (lines_.empty() || lines_[0] != "// MilkShape 3D ASCII") return Fail("no header");
        int framesLines = 0;
        long frames = 0, lastKey = 0;
        for (i_ = 1; i_ < lines_.size() && model_.problem.empty();) {
            const std::string& line = lines_[i_];
            if (line.empty() || line.rfind("//", 0) == 0) {
                ++i_;
            } else if (line.rfind("Frames:", 0) == 0) {
                ++framesLines;
                if (!Integer(line.substr(7), frames)) Fail("Frames: line");
                ++i_;
            } else if (line.rfind("Frame:", 0) == 0) {
                ++i_;
            } else if (line.rfind("Meshes:", 0) == 0) {
                Repeat(line.substr(7), [&] { Mesh(); });
            } else if (line.rfind("Materials:", 0) == 0) {
                Repeat(line.substr(10), [&] { Material(); });
            } else if (line.rfind("Bones:", 0) == 0) {
                Repeat(line.substr(6), [&] { Bone(lastKey); });
            } else if (Letter(line)) {
                // A section of comments: whatever it holds up to the next section.
                for (++i_; i_ < lines_.size() && !Letter(lines_[i_]);) ++i_;
            } else {
                Fail("a line outside any section");
            }
        }
        if (model_.problem.empty() && framesLines != 1) Fail("not one Frames: line");
        if (model_.problem.empty() && lastKey > frames) Fail("a key after the last frame");
        return model_;
    }

private:
    StrictModel Fail(const std::string& what) {
        if (model_.problem.empty()) model_.problem = what + " at line " + std::to_string(i_ + 1);
        return model_;
    }
    static bool Letter(const std::string& line) {
        return !line.empty() && std::isalpha(static_cast<unsigned char>(line[0]));
    }

    static bool Integer(std::string_view text, long& value) {
        while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
        if (text.empty()) return false;
        for (size_t k = text[0] == '-' ? 1 : 0; k < text.size(); ++k)
            if (text[k] < '0' || text[k] > '9') return false;
        value = std::strtol(std::string(text).c_str(), nullptr, 10);
        return true;
    }

    // Line i_ as `count` numbers separated by blanks; the first kept in `first`.
    bool Numbers(size_t count, double* first = nullptr) {
        if (i_ >= lines_.size()) return false;
        std::string_view rest = lines_[i_];
        size_t n = 0;
        while (!rest.empty()) {
            const size_t blank = rest.find(' ');
            const std::string field(rest.substr(0, blank));
            rest = blank == std::string_view::npos ? std::string_view() : rest.substr(blank + 1);
            if (field.empty()) continue;
            char* end = nullptr;
            const double value = std::strtod(field.c_str(), &end);
            if (*end != '\0') return false;
            if (n++ == 0 && first) *first = value;
        }
        ++i_;
        return n == count;
    }

    bool Quoted() { return i_ < lines_.size() && !lines_[i_].empty() && lines_[i_++][0] == '"'; }

    bool Count(long& value) { return i_ < lines_.size() && Integer(lines_[i_++], value) && value >= 0; }

    template <class Record>
    void Repeat(std::string_view countText, Record&& record) {
        long n = 0;
        if (!Integer(countText, n)) Fail("section count");
        ++i_;
        for (long k = 0; k < n && model_.problem.empty(); ++k) record();
    }

    void Mesh() {
        long vertices = 0, normals = 0, triangles = 0;
        if (!Quoted() || !Count(vertices)) return void(Fail("mesh header"));
        for (long k = 0; k < vertices; ++k)
            if (!Numbers(7)) return void(Fail("vertex"));
        if (!Count(normals)) return void(Fail("normal count"));
        for (long k = 0; k < normals; ++k)
            if (!Numbers(3)) return void(Fail("normal"));
        if (!Count(triangles)) return void(Fail("triangle count"));
        for (long k = 0; k < triangles; ++k)
            if (!Numbers(8)) return void(Fail("triangle"));
    }

    void Material() {
        if (!Quoted()) return void(Fail("material name"));
        for (size_t n : {4, 4, 4, 4, 1, 1})
            if (!Numbers(n)) return void(Fail("material value"));
        if (!Quoted() || !Quoted()) return void(Fail("material map"));
    }

    void Bone(long& lastKey) {
        if (!Quoted() || !Quoted() || !Numbers(7)) return void(Fail("bone"));
        for (int kind = 0; kind < 2; ++kind) {  // position keys, then rotation keys
            long keys = 0;
            if (!Count(keys)) return void(Fail("key count"));
            for (long k = 0; k < keys; ++k) {
                double time = 0;
                if (!Numbers(4, &time)) return void(Fail("key"));
                lastKey = std::max(lastKey, long(time));
            }
        }
    }

    std::vector<std::string> lines_;
    size_t i_ = 0;
    StrictModel model_;
};

inline StrictModel StrictRead(std::string_view bytes) { return StrictReader(bytes).Read(); }

}  // namespace vandrel::test
