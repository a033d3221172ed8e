// Triangle set-up's edge walk of each filler, by name: the walk of edge.h
// with the lanes of the filler's policy (span.h).
#include "render/edge.h"
#include "render/span.h"
#include "render/stages.h"

// The edge walk by filler.
const EdgeWalker WalkEdge = WalkEdgeFor<FlatFill>;
const EdgeWalker WalkEdgeShaded = WalkEdgeFor<ShadedFill>;
const EdgeWalker WalkEdgeTextured = WalkEdgeFor<TexturedFill>;
const EdgeWalker WalkEdgeTexturedShaded = WalkEdgeFor<TexturedShadedFill>;
