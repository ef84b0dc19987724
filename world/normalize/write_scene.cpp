// The world's structure in the canonical layout: Transforms kept (the line reader
// applies them to the geometry), Anchor, Billboard, Collision and Group as Group,
// Switch and LOD reduced to the child a VRML 2.0 browser shows, everything the reader
// does not read left out.
#include "world/node_readers.h"
#include "world/normalize/world_writer.h"

static bool isGroupLike(const std::string& type)
{
    return type == "Group" || type == "Anchor" || type == "Billboard" || type == "Collision";
}

static bool isGeometry(const std::string& type)
{
    return type == "IndexedFaceSet" || type == "Box" || type == "Cone" || type == "Cylinder" ||
           type == "Sphere" || type == "ElevationGrid" || type == "Extrusion";
}

// Transform fields as the Transform reader takes them. The reader finds fields by
// substring and "scaleOrientation" holds "scale": written before scale, it can never be
// the last scale line the reader sees. Without a scale it changes nothing and is left out.
static void writeTransformFields(CanonicalText& out, const Node& transform)
{
    static const f64 kZero[4] = {0.0, 0.0, 0.0, 0.0};
    static const f64 kOne[3] = {1.0, 1.0, 1.0};
    static const f64 kNoTurn[4] = {0.0, 0.0, 1.0, 0.0};
    writeNumberField(out, transform, "translation", 3, kZero);
    writeNumberField(out, transform, "rotation", 4, kNoTurn);
    writeNumberField(out, transform, "center", 3, kZero);
    if (findField(transform, "scale")) {
        writeNumberField(out, transform, "scaleOrientation", 4, kNoTurn);
        writeNumberField(out, transform, "scale", 3, kOne);
    }
}

// A Transform or Group with its children; left out entirely when no child wrote
// anything (the reader would make an empty transform group of it, or nothing at all).
static void writeGroupNode(WriterState& state, const Node& node, const Affine& around, bool shared,
                           bool isTransform)
{
    CanonicalText& out = state.out;
    // The line reader nests Transform readers no deeper than kMaxTransformDepth; a deeper
    // one would end its parent at its own closing brace.
    if (isTransform && state.transformDepth >= kMaxTransformDepth) {
        warnOnce(state, node,
                 "Transforms nested more than " + std::to_string(kMaxTransformDepth) +
                     " deep, which the line reader does not follow; this one is left out");
        return;
    }
    const CanonicalText::Mark before = out.mark();
    if (isTransform) {
        out.begin("Transform {");
        writeTransformFields(out, node);
    } else {
        out.begin("Group {");
    }
    out.begin("children [");
    const std::size_t childrenStart = out.size();
    const Affine inside = isTransform ? compose(around, transformOf(node)) : around;
    if (isTransform) ++state.transformDepth;
    for (const Node* child : fieldNodes(node, "children")) writeChild(state, child, inside, shared);
    if (isTransform) --state.transformDepth;
    if (out.size() == childrenStart && !out.stopped()) {
        out.rollBack(before);
        return;
    }
    out.end("]");
    out.end("}");
}

static void countReferences(const Node* node, std::unordered_map<const Node*, u32>& references,
                            std::unordered_set<const Node*>& seen)
{
    if (!node || !seen.insert(node).second) return;
    for (const Field& field : node->fields) {
        for (const Node* child : field.value->nodes) {
            if (!child) continue;
            ++references[child];
            countReferences(child, references, seen);
        }
    }
}

std::vector<const Node*> visitedChildren(const Node& node)
{
    std::vector<const Node*> visited;
    const std::string& type = node.type;
    if (type == "Transform" || isGroupLike(type)) {
        for (const Node* child : fieldNodes(node, "children"))
            if (child) visited.push_back(child);
    } else if (type == "Switch") {
        // VRML 2.0 names the children "choice", X3D "children".
        const std::vector<Node*>& choices =
            findField(node, "choice") ? fieldNodes(node, "choice") : fieldNodes(node, "children");
        const std::vector<i32> which = readIntList(node, "whichChoice");
        const i32 chosen = which.empty() ? -1 : which[0];
        if (chosen >= 0 && static_cast<std::size_t>(chosen) < choices.size() && choices[chosen])
            visited.push_back(choices[static_cast<std::size_t>(chosen)]);
    } else if (type == "LOD") {
        const std::vector<Node*>& levels =
            findField(node, "level") ? fieldNodes(node, "level") : fieldNodes(node, "children");
        if (!levels.empty() && levels[0]) visited.push_back(levels[0]);
    }
    return visited;
}

bool isShared(const WriterState& state, const Node& node)
{
    const auto found = state.references.find(&node);
    return found != state.references.end() && found->second > 1;
}

// Counts a node written inside a PROTO instance. Instances share the nodes of their
// bodies instead of copying them, so a few kilobytes of nested PROTOs can stand for
// millions of written nodes: the expansion limit holds for what is written. False once
// it is reached (said once); the instances beyond it are left out.
static bool countInstanceNode(WriterState& state, const Node& node)
{
    if (state.instanceDepth == 0) return true;
    PassContext& context = state.context;
    if (++state.instanceNodesWritten <= context.limits.maxProtoNodes) return true;
    if (!context.protoLimitReported) {
        const std::string path = node.source ? node.source->path : state.world.path;
        context.diagnostics.error(path, node.line, node.column,
                                  "PROTO expansion beyond " +
                                      std::to_string(context.limits.maxProtoNodes) +
                                      " nodes; the instances that reach it are left out");
        context.protoLimitReported = true;
    }
    return false;
}

void writeChild(WriterState& state, const Node* node, const Affine& around, bool shared)
{
    if (!node || !keepWriting(state)) return;
    ++state.visits;
    // Nodes inside a PROTO instance count against the expansion limit as they are
    // written, copies included.
    const u32 instanceDepth = state.instanceDepth;
    if (node->protoInstance) ++state.instanceDepth;
    struct RestoreDepth {
        WriterState& state;
        u32 depth;
        ~RestoreDepth() { state.instanceDepth = depth; }
    } restore{state, instanceDepth};
    if (!countInstanceNode(state, *node)) return;
    shared = shared || isShared(state, *node);
    const std::string& type = node->type;
    if (type == "Transform") {
        writeGroupNode(state, *node, around, shared, true);
    } else if (isGroupLike(type)) {
        writeGroupNode(state, *node, around, shared, false);
    } else if (type == "Switch" || type == "LOD") {
        for (const Node* child : visitedChildren(*node)) writeChild(state, child, around, shared);
    } else if (type == "Shape") {
        writeShape(state, node, fieldNode(*node, "geometry"), around);
    } else if (isGeometry(type)) {
        // Geometry standing where a child should: shown as a Shape without appearance.
        writeShape(state, nullptr, node, around);
    } else if (type == "DirectionalLight" || type == "PointLight" || type == "SpotLight") {
        writeLight(state, *node, around);
    } else if (type == "Sound") {
        writeSound(state, *node, around, shared);
    } else if (type == "AudioClip") {
        writeAudioClip(state, *node, false, shared);
    } else if (type == "TimeSensor") {
        writeTimeSensor(state, *node);
    }
    // Everything else (Viewpoint, Background and NavigationInfo, written at the top;
    // WorldInfo, Fog, Script, sensors, interpolators, lines, points, text) has no reader
    // or is not drawn.
}

void writeWorld(PassContext& context, const LoadedFile& world, CanonicalText& out,
                GeometryRows& geometry)
{
    WriterState state(context, out, *world.source);
    std::unordered_set<const Node*> seen;
    for (const Node* node : world.nodes) {
        if (!node) continue;
        ++state.references[node];
        countReferences(node, state.references, seen);
    }
    out.line("#VRML V2.0 utf8");
    const Node* viewpoint = nullptr;
    Affine aroundViewpoint = identityAffine();
    if (findFirstBindable(state, world.nodes, kHasViewpoint, viewpoint, aroundViewpoint))
        writeViewpoint(state, *viewpoint, aroundViewpoint);
    const Node* background = nullptr;
    Affine aroundBackground = identityAffine();
    if (findFirstBindable(state, world.nodes, kHasBackground, background, aroundBackground))
        writeBackground(state, *background);
    const Node* navigationInfo = nullptr;
    Affine aroundNavigationInfo = identityAffine();
    if (findFirstBindable(state, world.nodes, kHasNavigationInfo, navigationInfo,
                          aroundNavigationInfo))
        writeNavigationInfo(state, *navigationInfo);
    state.collectBounds = viewpoint == nullptr;
    const Affine identity = identityAffine();
    for (const Node* node : world.nodes) writeChild(state, node, identity, false);
    if (state.collectBounds && state.hasBounds) writeFramingViewpoint(state);
    geometry = state.geometry;
}
