#version 150

in vec2 pos;
in vec2 uv;

uniform mat4 viewProj;
uniform mat4 trans;

out vec2 fragUV;

void main()
{
    fragUV = uv;
    gl_Position = viewProj * trans * vec4(pos, 0.0, 1.0);
}
