#version 150

in vec2 fragUV;

uniform vec4 bgColor;

out vec4 outColor;

void main()
{
    outColor = bgColor;
}
