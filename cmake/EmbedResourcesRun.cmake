# Script mode: writes OUT_HEADER and OUT_SOURCE for NAMESPACE from FILES ("|"-separated).
string(REPLACE "|" ";" files "${FILES}")

set(header "// Generated at build time. Do not edit.\n#pragma once\n\nnamespace ${NAMESPACE}\n{\n")
set(source "// Generated at build time. Do not edit.\n#include \"${NAMESPACE}.h\"\n#include <cstring>\n\nnamespace ${NAMESPACE}\n{\n")
set(names "")
set(originals "")
set(table "")
set(index 0)
foreach(f IN LISTS files)
  get_filename_component(original "${f}" NAME)
  string(MAKE_C_IDENTIFIER "${original}" resName)
  file(SIZE "${f}" size)
  file(READ "${f}" hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "((0x..,){32})" "\\1\n" bytes "${bytes}")
  string(APPEND source "static const unsigned char data${index}[] = {\n${bytes}0x00,0x00 };\n")
  string(APPEND source "const char* const ${resName} = reinterpret_cast<const char*> (data${index});\n\n")
  string(APPEND header "    extern const char* const ${resName};\n    constexpr int ${resName}Size = ${size};\n\n")
  string(APPEND names "    \"${resName}\",\n")
  string(APPEND originals "    \"${original}\",\n")
  string(APPEND table "        { \"${resName}\", data${index}, ${size} },\n")
  math(EXPR index "${index} + 1")
endforeach()

string(APPEND header "    constexpr int namedResourceListSize = ${index};\n")
string(APPEND header "    extern const char* namedResourceList[];\n    extern const char* originalFilenames[];\n\n")
string(APPEND header "    // Returns the bytes of the named resource and its size, or null and 0.\n")
string(APPEND header "    const char* getNamedResource (const char* resourceNameUTF8, int& dataSizeInBytes);\n")
string(APPEND header "    // Returns the original file name of the named resource, or null.\n")
string(APPEND header "    const char* getNamedResourceOriginalFilename (const char* resourceNameUTF8);\n}\n")

string(APPEND source "const char* namedResourceList[] = {\n${names}    nullptr\n};\n\n")
string(APPEND source "const char* originalFilenames[] = {\n${originals}    nullptr\n};\n\n")
string(APPEND source [=[
namespace
{
    struct Entry { const char* name; const unsigned char* data; int size; };

    // Hash of a name as the lookup defines it: h = h * 31 + b over the bytes, b signed, modulo 2^32.
    unsigned int hashName (const char* s) noexcept
    {
        unsigned int h = 0;
        for (; *s != 0; ++s)
            h = h * 31u + static_cast<unsigned int> (static_cast<int> (static_cast<signed char> (*s)));
        return h;
    }

    const Entry entries[] = {
]=])
string(APPEND source "${table}        { nullptr, nullptr, 0 }\n    };\n}\n\n")
string(APPEND source [=[
const char* getNamedResource (const char* resourceNameUTF8, int& numBytes)
{
    numBytes = 0;
    if (resourceNameUTF8 == nullptr || resourceNameUTF8[0] == 0)
        return nullptr;

    const auto h = hashName (resourceNameUTF8);
    for (const auto* e = entries; e->name != nullptr; ++e)
    {
        if (hashName (e->name) == h)
        {
            numBytes = e->size;
            return reinterpret_cast<const char*> (e->data);
        }
    }
    return nullptr;
}

const char* getNamedResourceOriginalFilename (const char* resourceNameUTF8)
{
    if (resourceNameUTF8 == nullptr)
        return nullptr;
    for (int i = 0; namedResourceList[i] != nullptr; ++i)
        if (std::strcmp (namedResourceList[i], resourceNameUTF8) == 0)
            return originalFilenames[i];
    return nullptr;
}
}
]=])

file(WRITE "${OUT_HEADER}.tmp" "${header}")
file(WRITE "${OUT_SOURCE}.tmp" "${source}")
file(COPY_FILE "${OUT_HEADER}.tmp" "${OUT_HEADER}" ONLY_IF_DIFFERENT)
file(COPY_FILE "${OUT_SOURCE}.tmp" "${OUT_SOURCE}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT_HEADER}.tmp" "${OUT_SOURCE}.tmp")
