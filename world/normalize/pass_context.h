// world/normalize/pass_context.h - what one normalizing pass shares between the files
// it parses: the node arena, the source texts, the PROTO definitions, the name scopes
// and the files already read for Inline and EXTERNPROTO.
//
// Owns: every SourceFile, ProtoDefinition and LoadedFile of the pass (freed with it).
// Entry points: findProto, loadWorldFile (parse.cpp), resolveUrl (inline_files.cpp).
#pragma once

#include "base/types.h"
#include "world/normalize/diagnostics.h"
#include "world/normalize/limits.h"
#include "world/normalize/node_tree.h"
#include "world/normalize/source_file.h"

#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

// How a PROTO interface entry may be used: only fields have values to substitute.
enum class FieldAccess : u8 { kField, kEventIn, kEventOut };

struct ProtoField {
    std::string name;
    FieldAccess access = FieldAccess::kField;
    ValuePtr defaultValue; // null for events
};

struct ProtoDefinition {
    std::string name;
    std::vector<ProtoField> fields;
    Node* firstNode = nullptr; // the node an instance stands for; later body nodes are unseen
};

// DEF names of one file or one PROTO body; PROTO names seen from it.
struct Scope {
    std::unordered_map<std::string, Node*> defs;
    // PROTO and EXTERNPROTO names in declaration order; a null definition is an
    // EXTERNPROTO that no local file provides (its instances are dropped).
    std::vector<std::pair<std::string, const ProtoDefinition*>> protos;
    const Scope* parent = nullptr; // PROTO bodies still see the PROTOs declared before them
    bool inProtoBody = false;      // IS is allowed
};

// The result of parsing one file.
struct LoadedFile {
    const SourceFile* source = nullptr;
    std::vector<Node*> nodes; // top-level nodes in file order
    Scope scope;              // its top-level PROTOs, for EXTERNPROTO
};

struct PassContext {
    PassContext(const NormalizeLimits& passLimits, Diagnostics& passDiagnostics)
        : limits(passLimits), diagnostics(passDiagnostics)
    {
    }

    const NormalizeLimits& limits;
    Diagnostics& diagnostics;
    std::string worldFolderKey; // the world's folder, canonical: what worldFolderOnly allows
    NodeArena arena;
    std::deque<SourceFile> sources;
    std::deque<ProtoDefinition> protos;
    std::deque<LoadedFile> files;

    // PROTO expansion size, counted over the whole pass.
    u64 protoNodesMade = 0;
    bool protoLimitReported = false;
    // Inline and EXTERNPROTO files: parsed once each, by canonical path; the stack holds
    // the files being parsed (cycles), the totals bound the work.
    std::unordered_map<std::string, const LoadedFile*> fileCache;
    std::vector<std::string> fileStack;
    u32 filesRead = 0;
    u64 sourceBytesRead = 0;
};

// The PROTO of that name visible from the scope; `found` tells a known name apart from
// an EXTERNPROTO that could not be resolved (found, but null).
const ProtoDefinition* findProto(const Scope& scope, std::string_view name, bool& found);

// Parses the world at a canonical path as a file of its own (an Inline or EXTERNPROTO
// target): null, with a warning at (from, line, column), when it cannot be read, is
// part of a cycle or lies deeper than the Inline limit.
const LoadedFile* loadReferencedFile(PassContext& context, const std::string& path,
                                     const SourceFile& from, i32 line, i32 column,
                                     u32 nestingDepth);

// False for a url with a scheme other than "file:" (http:, ftp:, urn: ...).
bool isLocalUrl(std::string_view url);

// The local file a url names, relative to the folder of the file naming it, or "" when
// it names no local file (http:, an empty url). The fragment ("#Name") goes to `fragment`.
std::string resolveUrl(const std::string& url, const std::string& folder, std::string& fragment);

// Parses a whole source text into `file` (top-level nodes and PROTOs); replacement
// number texts go to the source's extra buffer. nestingDepth: the node nesting the
// file starts at (that of the Inline naming it), so nesting adds up across files.
void parseSourceFile(PassContext& context, SourceFile& source, u32 startOffset, u32 nestingDepth,
                     LoadedFile& file);
// parseSourceFile for a file whose header is `header`. A file without a VRML header that
// yields no node is not VRML (a text file, a picture): its messages are replaced by one,
// "FILE is not a VRML file", so nothing of it is quoted line by line. False then.
bool parseVrmlFile(PassContext& context, SourceFile& source, const Header& header, u32 nestingDepth,
                   LoadedFile& file);

// Expands a PROTO instance: the first body node copied wherever an IS reaches, with the
// instance's field values (or the interface defaults) put in for IS. Null when the body
// has no node or a limit was reached (reported).
Node* expandProto(PassContext& context, const ProtoDefinition& proto,
                  const std::vector<Field>& instanceFields, const SourceFile& source, i32 line,
                  i32 column);
