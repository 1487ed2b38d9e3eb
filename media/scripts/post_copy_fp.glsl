#version 120
uniform sampler2D source;
varying vec2 uv;

void main()
{
    gl_FragColor = vec4(texture2D(source, uv).rgb, 1.0);
}
