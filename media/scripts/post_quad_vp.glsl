#version 120
// Full-screen quad of every post effect: position through, texture
// coordinates on.
uniform mat4 worldViewProj;
varying vec2 uv;

void main()
{
    gl_Position = worldViewProj * gl_Vertex;
    uv = gl_MultiTexCoord0.xy;
}
