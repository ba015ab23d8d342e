#include "app/netlistreader.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <numeric>

#include "components/circuitelement.h"
#include "platform/cp1251.h"

namespace qv {

namespace {

struct Token {
    std::string text;
    int line = 0;
};

/// A card: a line with the continuation lines that follow it.
struct Card {
    int line = 0;
    std::string raw; ///< the first line without its comment, for .title
    std::vector<Token> tokens;
};

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

std::string lowered(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = lower(c);
    return out;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool blank(char c) {
    return c == ' ' || c == '\t' || c == '\f' || c == '\v';
}

/// A byte no text netlist holds: the control characters other than blanks.
bool unreadable(unsigned char c) {
    return (c < 0x20 && !blank(char(c))) || c == 0x7f;
}

bool validUtf8(std::string_view s) {
    size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        const int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
        if (extra < 0 || (extra > 0 && i + size_t(extra) >= s.size())) return false;
        for (int k = 1; k <= extra; ++k)
            if ((static_cast<unsigned char>(s[i + size_t(k)]) >> 6) != 2) return false;
        i += size_t(extra) + 1;
    }
    return true;
}

/// Text of a file that may be UTF-8 or a single-byte code page: the latter is read as Latin-1.
std::string asUtf8(std::string_view s) {
    if (validUtf8(s)) return std::string(s);
    std::string out;
    for (char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out += ch;
        } else {
            out += char(0xc0 | (c >> 6));
            out += char(0x80 | (c & 0x3f));
        }
    }
    return out;
}

int characters(std::string_view utf8) {
    int n = 0;
    for (char c : utf8)
        if ((static_cast<unsigned char>(c) >> 6) != 2) ++n;
    return n;
}

/// Whether the scheme can keep `name` as it is: UTF-8 whose every character its code page has.
bool storable(std::string_view name) {
    return validUtf8(name) && cp1251ToUtf8(utf8ToCp1251(std::string(name))) == name;
}

std::string trimmed(std::string_view s) {
    size_t a = 0, b = s.size();
    while (a < b && blank(s[a]))
        ++a;
    while (b > a && blank(s[b - 1]))
        --b;
    return std::string(s.substr(a, b - a));
}

/// The line without its end-of-line comment: from ';' anywhere, or from a '$' that starts a word.
std::string_view withoutComment(std::string_view line) {
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == ';') return line.substr(0, i);
        if (line[i] == '$' && (i == 0 || blank(line[i - 1]))) return line.substr(0, i);
    }
    return line;
}

void split(std::string_view text, int line, std::vector<Token>& out) {
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && blank(text[i]))
            ++i;
        size_t start = i;
        while (i < text.size() && !blank(text[i]))
            ++i;
        if (i > start) out.push_back({std::string(text.substr(start, i - start)), line});
    }
}

/// Reads the cards of `bytes`; false when reading had to stop.
class Reader {
  public:
    explicit Reader(NetlistReading& result) : r_(result) {}

    void read(std::string_view bytes);

  private:
    NetlistReading& r_;
    Netlist& n_ = r_.netlist;
    std::map<std::string, int> nodeIndex_;
    std::map<std::string, int> names_; ///< element names, lower case, and their lines
    bool full_ = false;                ///< too many problems: reading stopped

    bool problem(int line, std::string text) {
        if (full_) return false;
        if (int(r_.problems.size()) >= NetlistLimits::kMaxProblems - 1) {
            r_.problems.push_back({line, "too many problems; reading stopped here"});
            full_ = true;
            return false;
        }
        r_.problems.push_back({line, std::move(text)});
        return true;
    }

    void card(const Card& c, bool& inControl);
    void directive(const Card& c);
    void element(const Card& c);
    std::optional<int> node(const Token& t, const std::string& owner);
    bool number(const Token& t, const std::string& owner, double& value);
    void topology();
    void formBranches();
};

void Reader::read(std::string_view bytes) {
    if (bytes.size() > NetlistLimits::kMaxBytes) {
        problem(0, "the netlist is larger than " + std::to_string(NetlistLimits::kMaxBytes >> 20) +
                       " MiB; this is not a netlist the scheme can hold");
        return;
    }
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);

    std::vector<Card> cards;
    bool ended = false;
    int lineNo = 0;
    size_t pos = 0;
    while (pos < bytes.size() && !ended && !full_) {
        size_t end = pos;
        while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r')
            ++end;
        std::string_view line = bytes.substr(pos, end - pos);
        pos = end;
        if (pos < bytes.size() && bytes[pos] == '\r') ++pos;
        if (end < bytes.size() && bytes[end] == '\n') pos = end + 1;
        ++lineNo;

        if (line.size() > size_t(NetlistLimits::kMaxLineLength)) {
            problem(lineNo, "the line is longer than " + std::to_string(NetlistLimits::kMaxLineLength) +
                                " characters");
            continue;
        }
        if (std::any_of(line.begin(), line.end(),
                        [](char c) { return unreadable(static_cast<unsigned char>(c)); })) {
            problem(lineNo, "unreadable characters: this is not a text netlist");
            continue;
        }
        if (lineNo == 1) {
            n_.title = trimmed(asUtf8(line));
            continue;
        }
        const std::string text = trimmed(line);
        if (text.empty() || text[0] == '*') continue;
        std::string_view body = withoutComment(text);
        if (trimmed(body).empty()) continue;
        if (body[0] == '+') {
            if (cards.empty()) {
                problem(lineNo, "a continuation line ('+') with no line before it to continue");
                continue;
            }
            split(body.substr(1), lineNo, cards.back().tokens);
            continue;
        }
        Card c;
        c.line = lineNo;
        c.raw = std::string(body);
        split(body, lineNo, c.tokens);
        if (lowered(c.tokens.front().text) == ".end") {
            ended = true;
            break;
        }
        cards.push_back(std::move(c));
    }

    bool inControl = false;
    for (const Card& c : cards) {
        if (full_) return;
        card(c, inControl);
    }
    if (full_ || !r_.problems.empty()) return;
    topology();
}

void Reader::card(const Card& c, bool& inControl) {
    const std::string first = lowered(c.tokens.front().text);
    if (inControl) {
        if (first == ".endc") inControl = false;
        return;
    }
    if (first == ".control") {
        problem(c.line, ".control: command blocks are not read; give the analysis as .op or .ac");
        inControl = true;
        return;
    }
    if (first[0] == '.')
        directive(c);
    else
        element(c);
}

void Reader::directive(const Card& c) {
    const std::string name = lowered(c.tokens.front().text);
    const std::string& shown = c.tokens.front().text;
    if (name == ".op") {
        if (c.tokens.size() > 1) problem(c.tokens[1].line, ".op: '" + c.tokens[1].text + "' is not read");
        return;
    }
    if (name == ".title") {
        const std::string rest = trimmed(std::string_view(c.raw).substr(shown.size()));
        n_.title = asUtf8(rest);
        return;
    }
    if (name == ".ac") {
        if (c.tokens.size() != 5) {
            problem(c.line, ".ac: give it as .ac lin|dec|oct POINTS START STOP with one frequency");
            return;
        }
        const std::string sweep = lowered(c.tokens[1].text);
        if (sweep != "lin" && sweep != "dec" && sweep != "oct") {
            problem(c.tokens[1].line, ".ac: '" + c.tokens[1].text + "' is not lin, dec or oct");
            return;
        }
        double points = 0, start = 0, stop = 0;
        if (!number(c.tokens[2], ".ac", points) || !number(c.tokens[3], ".ac", start) ||
            !number(c.tokens[4], ".ac", stop))
            return;
        if (!(start > 0) || !(stop > 0)) {
            problem(c.line, ".ac: the frequency must be above 0 Hz");
            return;
        }
        // One frequency: the sweep starts and stops on it, or a linear sweep of one point.
        if (start != stop && !(sweep == "lin" && points == 1)) {
            problem(c.line, ".ac: the sweep runs over several frequencies; the scheme has one");
            return;
        }
        n_.frequency = start;
        return;
    }
    std::string why;
    if (name == ".include" || name == ".inc" || name == ".lib")
        why = "other files are not read; put the whole circuit into this netlist";
    else if (name == ".subckt" || name == ".ends")
        why = "subcircuits are not supported";
    else if (name == ".model")
        why = "device models are not supported";
    else if (name == ".param" || name == ".func" || name == ".csparam")
        why = "parameters are not supported; write the values as numbers";
    else if (name == ".tran" || name == ".dc" || name == ".noise" || name == ".tf" || name == ".pz" ||
             name == ".sens" || name == ".disto" || name == ".four" || name == ".pss" || name == ".sp")
        why = "only the .op and .ac analyses are read";
    else
        why = "not read: only .op, .ac, .title and .end are";
    problem(c.line, shown + ": " + why);
}

std::optional<int> Reader::node(const Token& t, const std::string& owner) {
    const std::string key = lowered(t.text);
    const bool ground = key == "0" || key == "gnd";
    const std::string name = ground ? "0" : t.text;
    if (!ground) {
        if (!storable(name)) {
            problem(t.line,
                    owner + ": the node name '" + asUtf8(name) + "' has characters the scheme cannot keep");
            return std::nullopt;
        }
        if (characters(name) > kNameLength) {
            problem(t.line, owner + ": the node name '" + name + "' is longer than " +
                                std::to_string(kNameLength) + " characters");
            return std::nullopt;
        }
    }
    auto [it, fresh] = nodeIndex_.emplace(ground ? std::string("0") : key, int(n_.nodes.size()));
    if (fresh) n_.nodes.push_back({name, t.line, ground, 0});
    return it->second;
}

bool Reader::number(const Token& t, const std::string& owner, double& value) {
    const std::optional<double> v = parseSpiceNumber(t.text);
    if (!v) {
        problem(t.line, owner + ": '" + asUtf8(t.text) + "' is not a number");
        return false;
    }
    if (!std::isfinite(*v)) {
        problem(t.line, owner + ": '" + t.text + "' is out of range");
        return false;
    }
    value = *v;
    return true;
}

void Reader::element(const Card& c) {
    const Token& head = c.tokens.front();
    const std::string name = head.text;
    const char letter = char(name[0] >= 'a' && name[0] <= 'z' ? name[0] - 'a' + 'A' : name[0]);
    const std::string shown = asUtf8(name);
    auto refuse = [&](const std::string& why) { problem(c.line, shown + ": " + why); };
    switch (letter) {
    case 'R':
    case 'L':
    case 'C':
    case 'V':
    case 'I':
        break;
    case 'E':
    case 'F':
    case 'G':
    case 'H':
    case 'B':
        return refuse("dependent sources are not supported");
    case 'D':
    case 'Q':
    case 'J':
    case 'M':
    case 'Z':
        return refuse("semiconductor devices are not supported");
    case 'X':
        return refuse("subcircuits are not supported");
    case 'K':
        return refuse("coupled inductors are not supported");
    case 'S':
    case 'W':
        return refuse("switches are not supported");
    case 'T':
    case 'O':
    case 'U':
    case 'Y':
        return refuse("transmission lines are not supported");
    default:
        if (letter >= 'A' && letter <= 'Z') return refuse("this kind of element is not supported");
        return refuse("not an element, a comment or a dot command");
    }
    if (int(n_.elements.size()) >= NetlistLimits::kMaxElements)
        return refuse("more than " + std::to_string(NetlistLimits::kMaxElements) + " elements");

    NetlistElement e;
    e.line = c.line;
    e.kind = letter;
    e.name = name;
    const std::string id = e.identifier();
    if (!storable(id)) return refuse("the name has characters the scheme cannot keep");
    if (characters(id) > kNameLength)
        return refuse("the name is longer than the scheme holds (" + std::to_string(kNameLength) +
                      " characters after its letter)");
    if (auto seen = names_.find(lowered(name)); seen != names_.end())
        return refuse("the name is given twice (first on line " + std::to_string(seen->second) + ")");

    if (c.tokens.size() < 3) return refuse("a node is missing");
    const std::optional<int> a = node(c.tokens[1], shown);
    if (!a) return;
    const std::optional<int> b = node(c.tokens[2], shown);
    if (!b) return;
    if (*a == *b) return refuse("both ends are on node '" + n_.nodes[size_t(*a)].name + "'");
    e.node1 = *a;
    e.node2 = *b;

    if (letter == 'R' || letter == 'L' || letter == 'C') {
        if (c.tokens.size() < 4) return refuse("the value is missing");
        if (c.tokens.size() > 4)
            return refuse("'" + asUtf8(c.tokens[4].text) + "' is not read: R, L and C take one value");
        if (!number(c.tokens[3], shown, e.value)) return;
    } else {
        size_t i = 3;
        const auto isNumber = [&](size_t k) {
            return k < c.tokens.size() && parseSpiceNumber(c.tokens[k].text);
        };
        if (isNumber(i)) {
            if (!number(c.tokens[i], shown, e.value)) return;
            e.hasDc = true;
            ++i;
        }
        while (i < c.tokens.size()) {
            const std::string word = lowered(c.tokens[i].text);
            if (word == "dc") {
                if (e.hasDc) return refuse("the DC value is given twice");
                if (!isNumber(i + 1)) return refuse("DC needs a value");
                if (!number(c.tokens[i + 1], shown, e.value)) return;
                e.hasDc = true;
                i += 2;
            } else if (word == "ac") {
                if (e.hasAc) return refuse("the AC value is given twice");
                if (!isNumber(i + 1)) return refuse("AC needs a magnitude");
                if (!number(c.tokens[i + 1], shown, e.acMagnitude)) return;
                e.hasAc = true;
                i += 2;
                if (isNumber(i)) {
                    if (!number(c.tokens[i], shown, e.acPhase)) return;
                    ++i;
                }
            } else {
                return refuse(
                    "'" + asUtf8(c.tokens[i].text) +
                    "' is not supported: a source takes a value, DC value and AC magnitude [phase]");
            }
        }
        if (!e.hasDc && !e.hasAc) return refuse("the value is missing");
    }
    names_.emplace(lowered(name), c.line);
    n_.nodes[size_t(e.node1)].degree++;
    n_.nodes[size_t(e.node2)].degree++;
    n_.elements.push_back(std::move(e));
}

void Reader::topology() {
    if (n_.elements.empty()) {
        problem(0, "the netlist has no elements (R, L, C, V or I)");
        return;
    }
    for (const NetlistElement& e : n_.elements)
        if ((e.kind == 'V' || e.kind == 'I') && e.hasAc) n_.ac = true;

    // Every element that joins two nodes already joined closes one more independent loop.
    std::vector<int> parent(n_.nodes.size());
    std::iota(parent.begin(), parent.end(), 0);
    auto root = [&](int x) {
        while (parent[size_t(x)] != x)
            x = parent[size_t(x)] = parent[size_t(parent[size_t(x)])];
        return x;
    };
    for (const NetlistElement& e : n_.elements) {
        const int ra = root(e.node1), rb = root(e.node2);
        if (ra != rb) {
            parent[size_t(ra)] = rb;
        } else if (++n_.loops > NetlistLimits::kMaxLoops) {
            problem(e.line, asUtf8(e.name) + ": closes loop " + std::to_string(n_.loops) +
                                "; a scheme holds at most " + std::to_string(NetlistLimits::kMaxLoops) +
                                " independent loops");
            return;
        }
    }

    formBranches();

    // The DC table of the Kirchhoff-laws method: a current for each branch without a source
    // of current.
    if (!n_.ac) {
        int counted = 0;
        for (const NetlistBranch& b : n_.branches) {
            const bool source = std::any_of(b.elements.begin(), b.elements.end(),
                                            [&](int e) { return n_.elements[size_t(e)].kind == 'I'; });
            if (source || ++counted <= NetlistLimits::kMaxDcBranches) continue;
            const NetlistElement& first =
                n_.elements[size_t(*std::min_element(b.elements.begin(), b.elements.end()))];
            problem(first.line, asUtf8(first.name) + ": begins branch " + std::to_string(counted) +
                                    " without a current source; a DC scheme holds at most " +
                                    std::to_string(NetlistLimits::kMaxDcBranches) + " such branches");
            return;
        }
    }

    const int limit = n_.ac ? NetlistLimits::kMaxAcNodes : NetlistLimits::kMaxDcNodes;
    const bool grounded = n_.groundNode() >= 0;
    int counted = 0;
    for (int k : n_.schemeNodes) {
        const NetlistNode& node = n_.nodes[size_t(k)];
        if (node.ground) continue;
        // Without a ground one node is the reference.
        if (++counted > limit + (grounded ? 0 : 1)) {
            problem(node.line, "node '" + node.name + "': " + (n_.ac ? "an AC" : "a DC") +
                                   " scheme holds at most " + std::to_string(limit) +
                                   " nodes besides the reference");
            return;
        }
    }
}

void Reader::formBranches() {
    const size_t nodeCount = n_.nodes.size();
    // The element ends on each node.
    std::vector<std::vector<int>> at(nodeCount);
    for (size_t i = 0; i < n_.elements.size(); ++i) {
        at[size_t(n_.elements[i].node1)].push_back(int(i));
        at[size_t(n_.elements[i].node2)].push_back(int(i));
    }
    std::vector<bool> kept(nodeCount);
    for (size_t k = 0; k < nodeCount; ++k)
        kept[k] = n_.nodes[k].ground || at[k].size() != 2;
    auto other = [&](int element, int node) {
        const NetlistElement& e = n_.elements[size_t(element)];
        return e.node1 == node ? e.node2 : e.node1;
    };

    // Chains: walk from an element through the nodes that join exactly two elements.
    std::vector<bool> used(n_.elements.size());
    struct Chain {
        std::vector<int> elements;
        std::vector<int> nodes; ///< one more than elements
    };
    std::vector<Chain> chains;
    for (size_t start = 0; start < n_.elements.size(); ++start) {
        if (used[start]) continue;
        Chain c;
        c.elements = {int(start)};
        c.nodes = {n_.elements[start].node1, n_.elements[start].node2};
        used[start] = true;
        bool ring = false;
        // Forwards from node2, then backwards from node1.
        for (int side = 0; side < 2 && !ring; ++side) {
            while (true) {
                const int end = side == 0 ? c.nodes.back() : c.nodes.front();
                if (kept[size_t(end)]) break;
                const int last = side == 0 ? c.elements.back() : c.elements.front();
                const int next = at[size_t(end)][0] == last ? at[size_t(end)][1] : at[size_t(end)][0];
                if (used[size_t(next)]) {
                    ring = true; // round a ring of such nodes back to the start
                    break;
                }
                used[size_t(next)] = true;
                if (side == 0) {
                    c.elements.push_back(next);
                    c.nodes.push_back(other(next, end));
                } else {
                    c.elements.insert(c.elements.begin(), next);
                    c.nodes.insert(c.nodes.begin(), other(next, end));
                }
            }
        }
        if (ring) {
            // The last node repeats the first: keep that one and the one halfway round.
            c.nodes.back() = c.nodes.front();
        }
        // A branch may not close on one node: keep the node halfway along.
        if (c.nodes.front() == c.nodes.back()) {
            const size_t mid = c.elements.size() / 2;
            kept[size_t(c.nodes.front())] = true;
            kept[size_t(c.nodes[mid])] = true;
            Chain first, second;
            first.elements.assign(c.elements.begin(), c.elements.begin() + ptrdiff_t(mid));
            first.nodes.assign(c.nodes.begin(), c.nodes.begin() + ptrdiff_t(mid) + 1);
            second.elements.assign(c.elements.begin() + ptrdiff_t(mid), c.elements.end());
            second.nodes.assign(c.nodes.begin() + ptrdiff_t(mid), c.nodes.end());
            chains.push_back(std::move(first));
            chains.push_back(std::move(second));
        } else {
            chains.push_back(std::move(c));
        }
    }
    // Branches in the order of their first element; each read so that its first element runs
    // from its first written node to its second.
    std::sort(chains.begin(), chains.end(), [](const Chain& a, const Chain& b) {
        return *std::min_element(a.elements.begin(), a.elements.end()) <
               *std::min_element(b.elements.begin(), b.elements.end());
    });
    for (Chain& c : chains) {
        const size_t first =
            size_t(std::min_element(c.elements.begin(), c.elements.end()) - c.elements.begin());
        if (n_.elements[size_t(c.elements[first])].node1 != c.nodes[first]) {
            std::reverse(c.elements.begin(), c.elements.end());
            std::reverse(c.nodes.begin(), c.nodes.end());
        }
        NetlistBranch b;
        b.node1 = c.nodes.front();
        b.node2 = c.nodes.back();
        b.elements = c.elements;
        for (size_t i = 0; i < c.elements.size(); ++i)
            b.along.push_back(n_.elements[size_t(c.elements[i])].node1 == c.nodes[i]);
        n_.branches.push_back(std::move(b));
    }
    for (size_t k = 0; k < nodeCount; ++k)
        if (kept[k]) n_.schemeNodes.push_back(int(k));
}

} // namespace

int Netlist::groundNode() const {
    for (size_t i = 0; i < nodes.size(); ++i)
        if (nodes[i].ground) return int(i);
    return -1;
}

std::string NetlistProblem::message() const {
    return line > 0 ? "line " + std::to_string(line) + ": " + text : text;
}

NetlistReading readNetlist(std::string_view bytes) {
    NetlistReading result;
    Reader(result).read(bytes);
    if (!result.ok()) result.netlist = Netlist{};
    return result;
}

std::optional<double> parseSpiceNumber(std::string_view text) {
    size_t i = 0;
    const size_t n = text.size();
    if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
    size_t digits = 0;
    while (i < n && isDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < n && text[i] == '.') {
        ++i;
        while (i < n && isDigit(text[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0) return std::nullopt;
    // An exponent only where digits follow the 'e': "1meg" has none.
    if (i < n && lower(text[i]) == 'e') {
        size_t k = i + 1;
        if (k < n && (text[k] == '+' || text[k] == '-')) ++k;
        if (k < n && isDigit(text[k])) {
            while (k < n && isDigit(text[k]))
                ++k;
            i = k;
        }
    }
    std::string numeric(text.substr(0, i));
    if (numeric[0] == '+') numeric.erase(0, 1);
    double value = 0;
    const auto [end, ec] = std::from_chars(numeric.data(), numeric.data() + numeric.size(), value);
    if (end != numeric.data() + numeric.size()) return std::nullopt;
    if (ec == std::errc::result_out_of_range)
        value = numeric.find_first_of("123456789") == std::string::npos ? 0.0 : HUGE_VAL;
    else if (ec != std::errc())
        return std::nullopt;

    const std::string rest = lowered(text.substr(i));
    double scale = 1;
    size_t used = 0;
    if (rest.rfind("meg", 0) == 0) {
        scale = 1e6;
        used = 3;
    } else if (rest.rfind("mil", 0) == 0) {
        scale = 25.4e-6;
        used = 3;
    } else if (!rest.empty()) {
        used = 1;
        switch (rest[0]) {
        case 't':
            scale = 1e12;
            break;
        case 'g':
            scale = 1e9;
            break;
        case 'k':
            scale = 1e3;
            break;
        case 'm':
            scale = 1e-3;
            break;
        case 'u':
            scale = 1e-6;
            break;
        case 'n':
            scale = 1e-9;
            break;
        case 'p':
            scale = 1e-12;
            break;
        case 'f':
            scale = 1e-15;
            break;
        default:
            used = 0;
        }
    }
    // What follows is the unit: letters only ("Ohm", "F", "Hz"; "Ω" too).
    for (size_t k = used; k < rest.size(); ++k) {
        const auto c = static_cast<unsigned char>(rest[k]);
        if (!((c >= 'a' && c <= 'z') || c >= 0x80)) return std::nullopt;
    }
    return value * scale;
}

} // namespace qv
