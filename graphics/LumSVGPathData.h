#pragma once
// The SVG attribute syntaxes that become geometry: transform lists
// ("transform", "gradientTransform") into one matrix, path data ("d") into
// one path per sub-path, and point lists ("points") into one path. Numbers
// use '.' as decimal separator whatever the process settings say. Nothing
// here raises on bad input: what cannot be read is skipped or counts as 0.

#include <optional>
#include <vector>

#include "graphics/LumGraphicsPath.h"
#include "platform/rtl/String.h"

// An element's sub-paths; the last one is the active path.
using TLumGraphicsSVGElementPathList = TObjectList<TLumGraphicsPath>;

// An absent attribute (nullopt) gives the all-zero matrix.
TLumGraphicsMatrix ParseTransform(const std::optional<String>& AText);

// The path data as a flat token list: a one-letter command followed by its
// numbers, then the next command, and so on; repeated parameter groups
// already split into repeated commands.
std::vector<String> SplitPathData(const String& AText);
// The number tokens of one command's parameter text.
std::vector<String> TokenizePathCommand(Char ACommand, const String& AParameters);
// The command and its parameters as one or more commands of whole parameter
// groups (repeats of M/m become L/l); a trailing incomplete group is dropped.
std::vector<String> SplitImplicitCommands(Char ACommand, const std::vector<String>& AParameters);

// Appends the sub-paths of the path data: every M/m starts a new path.
void BuildPathData(const String& AData, TLumGraphicsSVGElementPathList& APaths);
// The elliptical arc from AStart to AEnd as cubic curves on APath.
void AddArcSegments(TLumGraphicsPath& APath, const TPointF& AStart, float ARadiusX, float ARadiusY, float ARotation,
    bool ALargeArc, bool ASweep, const TPointF& AEnd);
// Appends one path for the point list, closed for a polygon; an odd number
// of values builds nothing.
void BuildPointsPath(const String& APoints, bool AClose, TLumGraphicsSVGElementPathList& APaths);
