// Rewrites the scale points of the LV2 bundle's dsp.ttl in the values of each parameter's own range.
//
// The framework writes a discrete parameter's lv2:minimum/lv2:maximum in plain units (a choice of N
// runs 0..N-1) but each lv2:scalePoint's rdf:value normalised to 0..1, so a host that offers the
// list of choices sends the wrong value. Every parameter block whose points are the evenly spaced
// normalised values 0, 1/(N-1), ..., 1 gets min + i * (max - min) / (N-1) instead. Blocks already in
// plain values are left alone, so running the tool twice changes nothing; anything else fails the
// build rather than shipping a list that selects the wrong entry.
//
// Usage: vyr_lv2_scale_points <path to dsp.ttl>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace
{
bool startsWith (const std::string& s, const std::string& prefix)
{
    return s.compare (0, prefix.size(), prefix) == 0;
}

// The number following `key` on a line such as "\tlv2:maximum 5\t ;".
bool numberAfter (const std::string& line, const std::string& key, double& out)
{
    const auto at = line.find (key);
    if (at == std::string::npos)
        return false;
    const char* begin = line.c_str() + at + key.size();
    char* end = nullptr;
    out = std::strtod (begin, &end);
    return end != begin;
}

std::string formatValue (double v)
{
    const double rounded = std::round (v);
    if (std::abs (v - rounded) < 1.0e-9)
        return std::to_string ((long long) rounded);
    char text[64];
    std::snprintf (text, sizeof (text), "%.9g", v);
    return text;
}

struct Block
{
    std::string subject;
    bool isParameter = false;
    bool hasMin = false, hasMax = false;
    double min = 0.0, max = 0.0;
    std::vector<size_t> valueLines; // indexes into the file's lines
};

// Returns false when the block's points are neither normalised nor plain.
bool fixBlock (const Block& b, std::vector<std::string>& lines)
{
    const auto n = b.valueLines.size();
    if (! b.isParameter || n == 0)
        return true;
    if (n < 2 || ! b.hasMin || ! b.hasMax)
        return false;

    std::vector<double> values;
    for (auto index : b.valueLines)
    {
        double v = 0.0;
        if (! numberAfter (lines[index], "rdf:value", v))
            return false;
        values.push_back (v);
    }

    const double last = (double) (n - 1);
    auto matches = [&] (double from, double to)
    {
        const double tolerance = 1.0e-5 * std::max (1.0, std::abs (to - from));
        for (size_t i = 0; i < n; ++i)
            if (std::abs (values[i] - (from + (to - from) * (double) i / last)) > tolerance)
                return false;
        return true;
    };

    if (matches (b.min, b.max))
        return true; // already in the range's own values (always so for a 0..1 toggle)
    if (! matches (0.0, 1.0))
        return false;

    for (size_t i = 0; i < n; ++i)
    {
        auto& line = lines[b.valueLines[i]];
        const auto key = line.find ("rdf:value");
        const auto end = line.find (" ;", key);
        const auto plain = b.min + (b.max - b.min) * (double) i / last;
        line = line.substr (0, key) + "rdf:value " + formatValue (plain) + (end == std::string::npos ? std::string() : line.substr (end));
    }
    return true;
}
} // namespace

int main (int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf (stderr, "usage: %s <dsp.ttl>\n", argv[0]);
        return 2;
    }
    const std::string path = argv[1];

    std::vector<std::string> lines;
    {
        std::ifstream in (path);
        if (! in)
        {
            std::fprintf (stderr, "%s: cannot read %s\n", argv[0], path.c_str());
            return 1;
        }
        for (std::string line; std::getline (in, line);)
            lines.push_back (line);
    }

    Block block;
    bool ok = true;
    auto finish = [&]
    {
        if (! fixBlock (block, lines))
        {
            std::fprintf (stderr, "%s: unexpected scale points for %s in %s\n", argv[0], block.subject.c_str(), path.c_str());
            ok = false;
        }
        block = {};
    };

    for (size_t i = 0; i < lines.size(); ++i)
    {
        const auto& line = lines[i];
        // A new subject starts at the first column; prefixes and blank lines belong to none.
        if (! line.empty() && line[0] != '\t' && line[0] != ' ' && line[0] != ']')
        {
            finish();
            if (! startsWith (line, "@prefix"))
                block.subject = line;
            continue;
        }
        if (line.find ("a lv2:Parameter") != std::string::npos)
            block.isParameter = true;
        else if (line.find ("lv2:minimum") != std::string::npos)
            block.hasMin = numberAfter (line, "lv2:minimum", block.min);
        else if (line.find ("lv2:maximum") != std::string::npos)
            block.hasMax = numberAfter (line, "lv2:maximum", block.max);
        else if (line.find ("rdf:value") != std::string::npos)
            block.valueLines.push_back (i);
    }
    finish();
    if (! ok)
        return 1;

    // Written beside the original and moved over it, so an interrupted build never leaves half a file.
    const auto temporary = path + ".tmp";
    {
        std::ofstream out (temporary, std::ios::trunc);
        for (const auto& line : lines)
            out << line << '\n';
        if (! out.flush())
        {
            std::fprintf (stderr, "%s: cannot write %s\n", argv[0], temporary.c_str());
            return 1;
        }
    }
    if (std::rename (temporary.c_str(), path.c_str()) != 0)
    {
        std::fprintf (stderr, "%s: cannot replace %s\n", argv[0], path.c_str());
        return 1;
    }
    return 0;
}
