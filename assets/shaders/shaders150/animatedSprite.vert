#version 150

in vec2 pos;
in vec2 uv;

uniform mat4 viewProj;
uniform mat4 trans;
uniform vec2 texShift;
uniform mat2 texScale;

out vec2 fragUV;

void main()
{
    // One frame of a sprite sheet: shift by whole frames, then scale the
    // frame grid down to the texture's 0..1 range.
    fragUV = texScale * (uv + texShift);
    gl_Position = viewProj * trans * vec4(pos, 0.0, 1.0);
}
