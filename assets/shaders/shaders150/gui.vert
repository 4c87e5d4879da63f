#version 150

// A unit square scaled to the rectangle's size and moved to its centre, all
// in normalised window coordinates: GUI rectangles ignore the camera.
in vec2 pos;
in vec2 uv;

uniform vec2 offset;
uniform vec2 scale;

out vec2 fragUV;

void main()
{
    fragUV = uv;
    gl_Position = vec4(pos * scale + offset, 0.0, 1.0);
}
