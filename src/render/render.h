// render.h: the rendering area in one include: renderer, surfaces, images and
// the drawing context (see each header for its use).
//
// bbInitRender() (context.h) gives the area's globals their initial values.
#pragma once

#include "render/context.h"
#include "render/gl_layer.h"
#include "render/graphics.h"
#include "render/image.h"
