#pragma once
// Plugs the SVG engine into the pictures: the SVG picture format of the
// graphics layer and the GDI+ pictures of this layer both get their documents
// from it once this has run.

// Installs both factories; running it again changes nothing.
void RegisterLumSVGDocuments();
