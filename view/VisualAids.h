#pragma once
// The "表示" menu's aids to seeing one-sidedness, as plain values: what the
// user switched on, and what the renderer is handed to draw them. All off,
// every frame is drawn exactly as without them.

#include <cstdint>
#include <vector>

// The check items. The w colours, while on, take the place of the back
// colour.
struct VisualAids {
    bool backColour = false;    // the back of each face in the chosen colour's partner
    bool fourDColours = false;  // each face coloured by its fourth coordinate
    bool autoTurn = false;      // a steady four-dimensional turn
    bool marker = false;        // a marker travelling a side-reversing loop
};

// One RGBA colour a face (perFace[4 f ...]) and one for each draw vertex of
// the ProjectedMesh (perCorner[4 v ...]): the colour of the face whose
// quad takes its colour from v, for drawing from arrays.
struct FaceColours {
    std::vector<float> perFace;
    std::vector<float> perCorner;
};

// Flat triangles, three corners of (x, y, z) each, in model space.
struct MarkerShape {
    std::vector<double> corners;
};

// What the renderer draws besides the surface. Pointers may be null; the
// default draws nothing extra.
struct AidDrawing {
    bool backColour = false;
    const FaceColours* faceColours = nullptr;  // takes the place of the chosen colour
    const MarkerShape* marker = nullptr;       // drawn opaque, after the faces
};
