// Parsing VRML 2.0 text into the normalizing pass's node tree: statements, nodes,
// fields, DEF and USE, PROTO and EXTERNPROTO declarations, ROUTEs skipped, and syntax
// errors reported and passed over so that what follows still counts.
#include "world/normalize/pass_context.h"
#include "world/normalize/tokenizer.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <unordered_set>

// The node types of the VRML 2.0 standard; others are warned about once per file.
const std::unordered_set<std::string_view> kStandardNodes = {"Anchor",
                                                             "Appearance",
                                                             "AudioClip",
                                                             "Background",
                                                             "Billboard",
                                                             "Box",
                                                             "Collision",
                                                             "Color",
                                                             "ColorInterpolator",
                                                             "Cone",
                                                             "Coordinate",
                                                             "CoordinateInterpolator",
                                                             "Cylinder",
                                                             "CylinderSensor",
                                                             "DirectionalLight",
                                                             "ElevationGrid",
                                                             "Extrusion",
                                                             "Fog",
                                                             "FontStyle",
                                                             "Group",
                                                             "ImageTexture",
                                                             "IndexedFaceSet",
                                                             "IndexedLineSet",
                                                             "Inline",
                                                             "LOD",
                                                             "Material",
                                                             "MovieTexture",
                                                             "NavigationInfo",
                                                             "Normal",
                                                             "NormalInterpolator",
                                                             "OrientationInterpolator",
                                                             "PixelTexture",
                                                             "PlaneSensor",
                                                             "PointLight",
                                                             "PointSet",
                                                             "PositionInterpolator",
                                                             "ProximitySensor",
                                                             "ScalarInterpolator",
                                                             "Script",
                                                             "Shape",
                                                             "Sound",
                                                             "Sphere",
                                                             "SphereSensor",
                                                             "SpotLight",
                                                             "Switch",
                                                             "Text",
                                                             "TextureCoordinate",
                                                             "TextureTransform",
                                                             "TimeSensor",
                                                             "TouchSensor",
                                                             "Transform",
                                                             "Viewpoint",
                                                             "VisibilitySensor",
                                                             "WorldInfo"};

static bool isInterfaceKeyword(std::string_view word, FieldAccess& access)
{
    if (word == "field" || word == "exposedField" || word == "initializeOnly" ||
        word == "inputOutput") {
        access = FieldAccess::kField;
        return true;
    }
    if (word == "eventIn" || word == "inputOnly") {
        access = FieldAccess::kEventIn;
        return true;
    }
    if (word == "eventOut" || word == "outputOnly") {
        access = FieldAccess::kEventOut;
        return true;
    }
    return false;
}

constexpr double kLargestFloat = 3.4028234663852886e38;

static std::string quoted(std::string_view text)
{
    constexpr std::size_t kShown = 40;
    std::string shown(text.substr(0, kShown));
    for (char& c : shown)
        if (static_cast<u8>(c) < 0x20) c = '?';
    return "'" + shown + (text.size() > kShown ? "...'" : "'");
}

namespace {

class Parser {
public:
    Parser(PassContext& context, SourceFile& source, u32 startOffset, u32 baseDepth)
        : context_(context), source_(source), tokens_(source.text, startOffset),
          baseDepth_(baseDepth)
    {
        advance();
    }

    void parseAll(LoadedFile& file)
    {
        file.source = &source_;
        while (token_.kind != TokenKind::kEnd) parseStatement(file.scope, file.nodes, baseDepth_);
    }

private:
    void advance() { token_ = tokens_.next(); }
    std::string_view text(const Token& token) const { return tokenText(source_.text, token); }
    bool atWord(std::string_view word) const
    {
        return token_.kind == TokenKind::kIdentifier && text(token_) == word;
    }
    void error(const Token& at, const std::string& message)
    {
        context_.diagnostics.error(source_.path, at.line, at.column, message);
    }
    void warning(const Token& at, const std::string& message)
    {
        context_.diagnostics.warning(source_.path, at.line, at.column, message);
    }
    std::string describe(const Token& token) const
    {
        if (token.kind == TokenKind::kEnd) return "the end of the file";
        if (token.kind == TokenKind::kStray) return "control characters";
        return quoted(text(token));
    }

    void parseStatement(Scope& scope, std::vector<Node*>& out, u32 depth);
    bool parseNodeStatement(Scope& scope, u32 depth, Node*& node);
    Node* parseNodeBody(const Token& typeToken, Scope& scope, u32 depth);
    ValuePtr parseFieldValue(Scope& scope, u32 depth, const Token& fieldToken);
    ValuePtr parseList(Scope& scope, u32 depth);
    void pushNumber(FieldValue& value);
    void pushZero(FieldValue& value);
    void parseProto(Scope& scope, u32 depth);
    void parseExternProto(Scope& scope, u32 depth);
    void parseInterface(Scope& scope, u32 depth, std::vector<ProtoField>& fields, bool withValues);
    void skipScriptDeclaration(Scope& scope, u32 depth);
    void skipRoute();
    void skipX3dStatement();
    void skipBalanced();
    void skipUnexpected(const char* where);
    Node* checkHeight(Node* node, const Token& at);
    Node* spliceInline(Node* inlineNode, const Token& at, u32 depth);
    void reportUnknownType(const Token& typeToken, const std::string& type);

    PassContext& context_;
    SourceFile& source_; // its extra buffer takes the replacement number texts
    Tokenizer tokens_;
    Token token_;
    u32 baseDepth_;
    bool endReported_ = false;  // one "not closed" message for all nodes open at the end
    bool fieldRefused_ = false; // the field being parsed holds a number beyond a float
    std::unordered_set<std::string> unknownTypes_;
};

} // namespace

void Parser::parseStatement(Scope& scope, std::vector<Node*>& out, u32 depth)
{
    if (token_.kind == TokenKind::kIdentifier) {
        const std::string_view word = text(token_);
        if (word == "PROTO") return parseProto(scope, depth);
        if (word == "EXTERNPROTO") return parseExternProto(scope, depth);
        if (word == "ROUTE") return skipRoute();
        if (word == "PROFILE" || word == "COMPONENT" || word == "META" || word == "UNIT" ||
            word == "IMPORT" || word == "EXPORT")
            return skipX3dStatement();
        Node* node = nullptr;
        if (parseNodeStatement(scope, depth, node)) {
            if (node) out.push_back(node);
            return;
        }
    }
    if (token_.kind == TokenKind::kEnd) return;
    skipUnexpected("where a node should start");
}

// DEF name Type { ... }, USE name, NULL or Type { ... }. Returns false, consuming
// nothing, when the current token starts none of them.
bool Parser::parseNodeStatement(Scope& scope, u32 depth, Node*& node)
{
    node = nullptr;
    if (atWord("DEF")) {
        const Token defToken = token_;
        advance();
        if (token_.kind != TokenKind::kIdentifier) {
            error(defToken, "DEF must be followed by a name");
            return true;
        }
        const std::string name(text(token_));
        advance();
        if (token_.kind != TokenKind::kIdentifier) {
            error(defToken, "DEF " + quoted(name) + " must be followed by a node type");
            return true;
        }
        const Token typeToken = token_;
        advance();
        if (token_.kind != TokenKind::kOpenBrace) {
            error(token_,
                  "expected '{' after " + quoted(text(typeToken)) + ", found " + describe(token_));
            return true;
        }
        node = parseNodeBody(typeToken, scope, depth);
        if (node) {
            node->defName = name;
            scope.defs[name] = node;
        }
        return true;
    }
    if (atWord("USE")) {
        const Token useToken = token_;
        advance();
        if (token_.kind != TokenKind::kIdentifier) {
            error(useToken, "USE must be followed by a name");
            return true;
        }
        const std::string name(text(token_));
        const auto found = scope.defs.find(name);
        if (found == scope.defs.end())
            error(token_, "USE of " + quoted(name) + ", which no DEF before it names");
        else
            node = found->second;
        advance();
        return true;
    }
    if (atWord("NULL")) {
        advance();
        return true;
    }
    if (token_.kind == TokenKind::kIdentifier && tokens_.peek().kind == TokenKind::kOpenBrace) {
        const Token typeToken = token_;
        advance();
        node = parseNodeBody(typeToken, scope, depth);
        return true;
    }
    return false;
}

// The body of a node whose type was just read; the current token is its '{'. Always
// returns a node made for this statement (or null), never a shared one, so the caller
// may name it.
Node* Parser::parseNodeBody(const Token& typeToken, Scope& scope, u32 depth)
{
    const std::string type(text(typeToken));
    if (depth >= context_.limits.maxNestingDepth) {
        error(typeToken, "nodes nested more than " +
                             std::to_string(context_.limits.maxNestingDepth) + " deep; " +
                             quoted(type) + " and what it holds are left out");
        skipBalanced();
        return nullptr;
    }
    advance();
    std::vector<Field> fields;
    while (true) {
        if (token_.kind == TokenKind::kCloseBrace) {
            advance();
            break;
        }
        if (token_.kind == TokenKind::kEnd) {
            if (!endReported_)
                error(typeToken,
                      quoted(type) + " is not closed: '}' missing at the end of the file");
            endReported_ = true;
            break;
        }
        if (token_.kind != TokenKind::kIdentifier) {
            skipUnexpected(("in " + quoted(type)).c_str());
            continue;
        }
        const std::string_view word = text(token_);
        FieldAccess access = FieldAccess::kField;
        if (word == "ROUTE") {
            skipRoute();
        } else if (word == "PROTO") {
            parseProto(scope, depth + 1);
        } else if (word == "EXTERNPROTO") {
            parseExternProto(scope, depth + 1);
        } else if (isInterfaceKeyword(word, access)) {
            skipScriptDeclaration(scope, depth + 1);
        } else {
            const Token fieldToken = token_;
            advance();
            fieldRefused_ = false;
            ValuePtr value = parseFieldValue(scope, depth + 1, fieldToken);
            if (value && !fieldRefused_)
                fields.push_back({std::string(text(fieldToken)), std::move(value)});
            fieldRefused_ = false;
        }
    }
    bool isProto = false;
    const ProtoDefinition* proto = findProto(scope, type, isProto);
    if (isProto) {
        if (!proto)
            return nullptr; // an EXTERNPROTO no local file provides; said at its declaration
        return expandProto(context_, *proto, fields, source_, typeToken.line, typeToken.column);
    }
    Node* node = context_.arena.make();
    node->type = type;
    node->fields = std::move(fields);
    node->source = &source_;
    node->line = typeToken.line;
    node->column = typeToken.column;
    finishNode(*node);
    if (type == "Inline") return spliceInline(node, typeToken, depth);
    if (!kStandardNodes.count(type)) reportUnknownType(typeToken, type);
    return checkHeight(node, typeToken);
}

void Parser::reportUnknownType(const Token& typeToken, const std::string& type)
{
    if (!unknownTypes_.insert(type).second) return;
    warning(typeToken, "unknown node type " + quoted(type) + "; left out");
}

// Nesting reached through PROTO bodies and Inline files adds up beyond what the text
// of any one file shows.
Node* Parser::checkHeight(Node* node, const Token& at)
{
    if (node->height <= context_.limits.maxNestingDepth) return node;
    error(at, quoted(node->type) + " holds nodes nested more than " +
                  std::to_string(context_.limits.maxNestingDepth) + " deep; left out");
    return nullptr;
}

ValuePtr Parser::parseFieldValue(Scope& scope, u32 depth, const Token& fieldToken)
{
    auto value = std::make_shared<FieldValue>();
    value->source = &source_;
    switch (token_.kind) {
    case TokenKind::kNumber:
        value->kind = ValueKind::kNumbers;
        while (token_.kind == TokenKind::kNumber) {
            pushNumber(*value);
            advance();
        }
        return value;
    case TokenKind::kString:
        value->kind = ValueKind::kStrings;
        if (token_.unterminated) error(token_, "string not closed: '\"' missing");
        value->texts.push_back(decodeString(source_.text, token_));
        advance();
        return value;
    case TokenKind::kOpenBracket: return parseList(scope, depth);
    case TokenKind::kIdentifier: {
        const std::string_view word = text(token_);
        if (word == "IS") {
            const Token isToken = token_;
            advance();
            if (token_.kind != TokenKind::kIdentifier) {
                error(isToken, "IS must be followed by a PROTO field name");
                return nullptr;
            }
            value->kind = ValueKind::kIs;
            value->texts.emplace_back(text(token_));
            advance();
            if (!scope.inProtoBody) {
                error(isToken, "IS outside a PROTO body");
                return nullptr;
            }
            return value;
        }
        if (word == "TRUE" || word == "FALSE") {
            value->kind = ValueKind::kWords;
            value->texts.emplace_back(word);
            advance();
            return value;
        }
        Node* node = nullptr;
        if (parseNodeStatement(scope, depth, node)) {
            value->kind = ValueKind::kNodes;
            value->nodes.push_back(node);
            return value;
        }
        break;
    }
    default: break;
    }
    error(fieldToken,
          "field " + quoted(text(fieldToken)) + " has no value (found " + describe(token_) + ")");
    return nullptr;
}

ValuePtr Parser::parseList(Scope& scope, u32 depth)
{
    const Token open = token_;
    advance();
    auto value = std::make_shared<FieldValue>();
    value->source = &source_;
    auto takeKind = [&](ValueKind kind) {
        if (value->kind == ValueKind::kEmpty) value->kind = kind;
        return value->kind == kind;
    };
    while (true) {
        switch (token_.kind) {
        case TokenKind::kCloseBracket: advance(); return value;
        case TokenKind::kEnd:
            if (!endReported_) error(open, "list not closed: ']' missing at the end of the file");
            endReported_ = true;
            return value;
        case TokenKind::kCloseBrace:
            error(token_, "list not closed: ']' missing before '}'");
            return value;
        case TokenKind::kNumber:
            if (!takeKind(ValueKind::kNumbers)) {
                error(token_, "a number in a list of other values");
                advance();
                break;
            }
            // The long lists of a world (points, indices) spend their time here.
            do {
                pushNumber(*value);
                advance();
            } while (token_.kind == TokenKind::kNumber);
            break;
        case TokenKind::kString:
            if (takeKind(ValueKind::kStrings))
                value->texts.push_back(decodeString(source_.text, token_));
            else
                error(token_, "a string in a list of other values");
            if (token_.unterminated) error(token_, "string not closed: '\"' missing");
            advance();
            break;
        case TokenKind::kIdentifier: {
            const std::string_view word = text(token_);
            if (word == "TRUE" || word == "FALSE") {
                if (takeKind(ValueKind::kWords))
                    value->texts.emplace_back(word);
                else
                    error(token_, "unexpected " + quoted(word) + " in a list");
                advance();
                break;
            }
            Node* node = nullptr;
            const Token nodeToken = token_;
            if (parseNodeStatement(scope, depth, node)) {
                if (!takeKind(ValueKind::kNodes))
                    error(nodeToken, "a node in a list of other values");
                else if (node)
                    value->nodes.push_back(node);
                break;
            }
            if (value->kind == ValueKind::kNumbers) {
                // "nan", "inf" and the like in a list of numbers: a number is still
                // counted here so the ones after it keep their places.
                warning(token_, quoted(word) + " is not a number; read as 0");
                pushZero(*value);
                advance();
                break;
            }
            error(token_, "unexpected " + quoted(word) + " in a list");
            advance();
            break;
        }
        default: skipUnexpected("in a list"); break;
        }
    }
}

void Parser::pushZero(FieldValue& value)
{
    value.numbers.push_back({static_cast<u32>(source_.extra.size()), 1u | kInExtra, 1});
    ++value.numberCount;
    source_.extra += '0';
}

// Keeps a number's own text when the line reader converts it as we do (with the plain
// numbers after it, as one run); otherwise puts the text of its value in the source's
// extra buffer.
void Parser::pushNumber(FieldValue& value)
{
    if (token_.form == NumberForm::kDecimal) {
        // This number and the plain ones after it, as one run of the file's own text.
        u32 end = token_.offset + token_.length;
        const u32 count = 1 + tokens_.skipDecimalRun(end);
        value.numbers.push_back({token_.offset, end - token_.offset, count});
        value.numberCount += count;
        return;
    }
    const std::string written(text(token_));
    char replacement[64];
    if (token_.form == NumberForm::kHex) {
        const bool negative = written[0] == '-';
        const std::size_t digits = written.find_first_of("xX") + 1;
        const unsigned long long magnitude = std::strtoull(written.c_str() + digits, nullptr, 16);
        std::snprintf(replacement, sizeof replacement, "%s%llu", negative ? "-" : "", magnitude);
    } else {
        const double parsed = std::strtod(written.c_str(), nullptr);
        const double number = (parsed - parsed == 0.0) ? parsed : 0.0; // finite, or 0
        std::snprintf(replacement, sizeof replacement, "%.17g", number);
        if (token_.form == NumberForm::kBad)
            warning(token_, "malformed number " + quoted(written) + "; read as " + replacement);
        // Beyond a 32-bit float the reader would make infinities (an eye at infinity, a
        // target of NaN): the field is refused and keeps its default.
        if (token_.form != NumberForm::kBad && !(std::fabs(number) <= kLargestFloat)) {
            if (!source_.numberRefused)
                warning(token_, "number " + quoted(written) +
                                    " is beyond a 32-bit float; the field keeps its default");
            source_.numberRefused = true;
            fieldRefused_ = true;
        }
    }
    const u32 length = static_cast<u32>(std::char_traits<char>::length(replacement));
    value.numbers.push_back({static_cast<u32>(source_.extra.size()), length | kInExtra, 1});
    ++value.numberCount;
    source_.extra.append(replacement, length);
}

void Parser::parseInterface(Scope& scope, u32 depth, std::vector<ProtoField>& fields,
                            bool withValues)
{
    const Token open = token_;
    advance();
    while (true) {
        if (token_.kind == TokenKind::kCloseBracket) {
            advance();
            return;
        }
        if (token_.kind == TokenKind::kEnd) {
            if (!endReported_) error(open, "PROTO interface not closed: ']' missing");
            endReported_ = true;
            return;
        }
        FieldAccess access = FieldAccess::kField;
        if (token_.kind == TokenKind::kOpenBrace) {
            // The body already: the interface's ']' was forgotten.
            error(open, "PROTO interface not closed: ']' missing before the body");
            return;
        }
        if (token_.kind != TokenKind::kIdentifier || !isInterfaceKeyword(text(token_), access)) {
            skipUnexpected("in a PROTO interface");
            continue;
        }
        const Token accessToken = token_;
        advance();
        if (token_.kind != TokenKind::kIdentifier) {
            error(accessToken, "interface entry without a field type");
            continue;
        }
        advance(); // the field type: values are kept untyped
        if (token_.kind != TokenKind::kIdentifier) {
            error(accessToken, "interface entry without a field name");
            continue;
        }
        ProtoField field;
        field.name = std::string(text(token_));
        field.access = access;
        const Token nameToken = token_;
        advance();
        if (withValues && access == FieldAccess::kField) {
            // Default values have a name scope of their own.
            Scope defaults;
            defaults.parent = &scope;
            field.defaultValue = parseFieldValue(defaults, depth + 1, nameToken);
        }
        fields.push_back(std::move(field));
    }
}

void Parser::parseProto(Scope& scope, u32 depth)
{
    const Token protoToken = token_;
    advance();
    if (token_.kind != TokenKind::kIdentifier) {
        error(protoToken, "PROTO must be followed by a name");
        return;
    }
    ProtoDefinition& proto = context_.protos.emplace_back();
    proto.name = std::string(text(token_));
    advance();
    if (token_.kind == TokenKind::kOpenBracket)
        parseInterface(scope, depth, proto.fields, true);
    else
        error(protoToken, "PROTO " + quoted(proto.name) + ": '[' expected after the name");
    if (token_.kind != TokenKind::kOpenBrace) {
        error(protoToken, "PROTO " + quoted(proto.name) + " has no body");
        scope.protos.emplace_back(proto.name, &proto);
        return;
    }
    advance();
    Scope body;
    body.parent = &scope;
    body.inProtoBody = true;
    std::vector<Node*> nodes;
    while (token_.kind != TokenKind::kCloseBrace && token_.kind != TokenKind::kEnd)
        parseStatement(body, nodes, depth + 1);
    if (token_.kind == TokenKind::kEnd) {
        if (!endReported_) error(protoToken, "PROTO " + quoted(proto.name) + " is not closed");
        endReported_ = true;
    } else {
        advance();
    }
    proto.firstNode = nodes.empty() ? nullptr : nodes[0];
    // Registered after its body: a PROTO cannot instantiate itself.
    scope.protos.emplace_back(proto.name, &proto);
}

void Parser::parseExternProto(Scope& scope, u32 depth)
{
    const Token externToken = token_;
    advance();
    if (token_.kind != TokenKind::kIdentifier) {
        error(externToken, "EXTERNPROTO must be followed by a name");
        return;
    }
    const std::string name(text(token_));
    advance();
    std::vector<ProtoField> declared;
    if (token_.kind == TokenKind::kOpenBracket) parseInterface(scope, depth, declared, false);
    const ProtoDefinition* found = nullptr;
    bool anyLocal = false;
    if (ValuePtr urls = parseFieldValue(scope, depth + 1, externToken);
        urls && urls->kind == ValueKind::kStrings) {
        for (const std::string& url : urls->texts) {
            std::string fragment;
            const std::string path = resolveUrl(url, source_.folder, fragment);
            if (path.empty()) continue;
            anyLocal = true;
            const LoadedFile* file = loadReferencedFile(context_, path, source_, externToken.line,
                                                        externToken.column, depth);
            if (!file) continue;
            bool known = false;
            found = findProto(file->scope, fragment.empty() ? name : fragment, known);
            if (found) break;
        }
    }
    if (!found)
        warning(externToken, "EXTERNPROTO " + quoted(name) +
                                 (anyLocal ? ": no local file it names defines it"
                                           : ": it names no local file") +
                                 "; its instances are left out");
    scope.protos.emplace_back(name, found);
}

// A Script's (or another node's) own interface entry: field type name [value].
void Parser::skipScriptDeclaration(Scope& scope, u32 depth)
{
    FieldAccess access = FieldAccess::kField;
    isInterfaceKeyword(text(token_), access);
    const Token start = token_;
    advance();
    for (int part = 0; part < 2; ++part) {
        if (token_.kind != TokenKind::kIdentifier) {
            error(start, "interface entry without a field type and name");
            return;
        }
        advance();
    }
    if (atWord("IS")) {
        advance();
        if (token_.kind == TokenKind::kIdentifier) advance();
        return;
    }
    if (access == FieldAccess::kField) parseFieldValue(scope, depth, start);
}

void Parser::skipRoute()
{
    const Token routeToken = token_;
    advance();
    // ROUTE node.eventOut TO node.eventIn
    for (int part = 0; part < 3; ++part) {
        if (token_.kind != TokenKind::kIdentifier) {
            error(routeToken, "malformed ROUTE");
            return;
        }
        advance();
    }
}

// PROFILE, COMPONENT, META, UNIT, IMPORT, EXPORT: X3D header statements, read past.
void Parser::skipX3dStatement()
{
    const std::string word(text(token_));
    advance();
    int parts = 1;
    if (word == "META") parts = 2;
    if (word == "UNIT") parts = 3;
    if (word == "IMPORT" || word == "EXPORT") parts = atWord("AS") ? 2 : 3;
    for (int part = 0; part < parts && token_.kind != TokenKind::kEnd; ++part) {
        if (token_.kind != TokenKind::kIdentifier && token_.kind != TokenKind::kString &&
            token_.kind != TokenKind::kNumber)
            return;
        advance();
    }
}

// Passes over a '{ ... }' or '[ ... ]' block and everything nested in it.
void Parser::skipBalanced()
{
    u64 open = 0;
    do {
        if (token_.kind == TokenKind::kOpenBrace || token_.kind == TokenKind::kOpenBracket) ++open;
        if (token_.kind == TokenKind::kCloseBrace || token_.kind == TokenKind::kCloseBracket)
            --open;
        advance();
    } while (open > 0 && token_.kind != TokenKind::kEnd);
}

void Parser::skipUnexpected(const char* where)
{
    if (token_.kind == TokenKind::kEnd) return;
    error(token_, "unexpected " + describe(token_) + " " + where);
    if (token_.kind == TokenKind::kOpenBrace || token_.kind == TokenKind::kOpenBracket)
        skipBalanced();
    else
        advance();
}

// The world an Inline names, spliced in as a Group. Its Viewpoints and Backgrounds are
// not bound: only the world's own are.
Node* Parser::spliceInline(Node* inlineNode, const Token& at, u32 depth)
{
    const FieldValue* urls = findField(*inlineNode, "url");
    if (!urls || urls->kind != ValueKind::kStrings) return nullptr;
    bool anyLocal = false;
    for (const std::string& url : urls->texts) {
        std::string fragment;
        const std::string path = resolveUrl(url, source_.folder, fragment);
        if (path.empty()) continue;
        anyLocal = true;
        const LoadedFile* file =
            loadReferencedFile(context_, path, source_, at.line, at.column, depth);
        if (!file) continue;
        Node* group = context_.arena.make();
        group->type = "Group";
        group->source = &source_;
        group->line = at.line;
        group->column = at.column;
        auto children = std::make_shared<FieldValue>();
        children->kind = ValueKind::kNodes;
        children->nodes = file->nodes;
        group->fields.push_back({"children", std::move(children)});
        finishNode(*group);
        group->bindables = 0;
        return checkHeight(group, at);
    }
    if (!anyLocal && !urls->texts.empty())
        warning(at, "Inline " + quoted(urls->texts[0]) + " names no local file; left out");
    return nullptr;
}

const ProtoDefinition* findProto(const Scope& scope, std::string_view name, bool& found)
{
    for (const Scope* level = &scope; level; level = level->parent) {
        for (std::size_t i = level->protos.size(); i-- > 0;) {
            if (level->protos[i].first == name) {
                found = true;
                return level->protos[i].second;
            }
        }
    }
    found = false;
    return nullptr;
}

void parseSourceFile(PassContext& context, SourceFile& source, u32 startOffset, u32 nestingDepth,
                     LoadedFile& file)
{
    Parser parser(context, source, startOffset, nestingDepth);
    parser.parseAll(file);
}

bool parseVrmlFile(PassContext& context, SourceFile& source, const Header& header, u32 nestingDepth,
                   LoadedFile& file)
{
    const Diagnostics::Mark mark = context.diagnostics.mark();
    parseSourceFile(context, source, header.bodyOffset, nestingDepth, file);
    if (header.kind != HeaderKind::kNone || !file.nodes.empty()) return true;
    if (!context.diagnostics.grewSince(mark) && source.text.size() <= header.bodyOffset)
        return true; // an empty file is empty, not foreign
    context.diagnostics.rollBack(mark);
    context.diagnostics.warning(source.path, 0, 0, source.path + " is not a VRML file");
    return false;
}
